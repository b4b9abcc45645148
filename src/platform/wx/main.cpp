// Program entry on Linux: the adapters the core's start-up asks for (the
// services, the main window and its tray icon, wx's event loop).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/taskbar.h>

#include "app/announcement_history.h"
#include "app/command_line.h"
#include "app/commands.h"
#include "app/core_gate.h"
#include "app/local_clock.h"
#include "app/start_program.h"
#include "app/startup_news.h"
#include "platform/curl/http_curl.h"
#include "platform/linux/app_paths.h"
#include "platform/linux/desktop_announcer.h"
#include "platform/linux/speech_output.h"
#include "platform/wx/main_frame.h"
#include "platform/wx/tray_icon.h"
#include "platform/wx/wx_process.h"
#include "platform/wx/wx_ui.h"
#include "ports/instance_lock.h"
#include "ports/show_requests.h"
#include "state/app_state.h"

namespace skyvigil {
namespace {

class SkyvigilApp : public wxApp {
 public:
  bool OnInit() override;
  int OnRun() override;
  int FilterEvent(wxEvent& event) override;

 private:
  App& BuildServices(const AppPaths& paths);
  void OnIdleEvent(wxIdleEvent& event);

  CoreGate gate_;
  InstanceLock marker_;
  MainFrame* frame_ = nullptr;  // wx owns it
  std::unique_ptr<DesktopAnnouncer> announcer_;
  std::unique_ptr<StartupNewsHold> news_hold_;    // passes to announcer_
  std::unique_ptr<AnnouncementHistory> history_;  // speaks through news_hold_
  std::unique_ptr<CurlHttpClient> http_;
  LocalClock clock_;
  std::unique_ptr<WxUi> ui_;
  std::unique_ptr<WxProcess> process_;
  WxMainThread main_thread_;
  std::unique_ptr<App> app_;
  // Last made, first gone: no request reaches the gate once the rest is gone.
  ShowRequestListener show_requests_;
};

// wxApp's own would read the options again; ReadCommandLine did.
bool SkyvigilApp::OnInit() {
  return true;
}

// The whole run, from the guard to the loop's end; main returns its code.
int SkyvigilApp::OnRun() {
  const AppPaths paths = LinuxAppPaths();
  DesktopStart desktop;
  desktop.alert = [](const std::string& title, const std::string& text) {
    wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(title), wxOK | wxICON_NONE);
  };
  desktop.build_services = [this, &paths]() -> App& { return BuildServices(paths); };
  // GNOME without a tray extension shows no icon: Escape minimises there.
  desktop.facts.tray = wxTaskBarIcon::IsAvailable();
  // No key reaches this program from other windows here.
  desktop.facts.system_wide_keys = false;
  desktop.build_main_window = [this](App&, const std::string& title) {
    frame_ = new MainFrame(gate_, title);
    SetTopWindow(frame_);
    ui_->Attach(frame_, new TrayIcon(gate_));
  };
  desktop.run_event_loop = [this] {
    // Idle passes come only after events were handled: no polling while nothing happens.
    Bind(wxEVT_IDLE, &SkyvigilApp::OnIdleEvent, this);
    return wxApp::OnRun();
  };
  return StartProgram(paths, marker_, show_requests_, gate_, desktop);
}

App& SkyvigilApp::BuildServices(const AppPaths& paths) {
  announcer_ = std::make_unique<DesktopAnnouncer>(paths.cues_folder);
  news_hold_ = std::make_unique<StartupNewsHold>(*announcer_);
  history_ = std::make_unique<AnnouncementHistory>(*news_hold_, clock_);
  http_ = std::make_unique<CurlHttpClient>();
  ui_ = std::make_unique<WxUi>(gate_);
  process_ = std::make_unique<WxProcess>(marker_);
  app_ = std::make_unique<App>(
      App{AppState{}, *ui_, *history_, *http_, clock_, *process_, main_thread_});
  app_->history = history_.get();
  app_->news_hold = news_hold_.get();
  return *app_;
}

int SkyvigilApp::FilterEvent(wxEvent& event) {
  // A key pressed in any of our windows stops our speech, as it stops a screen
  // reader's. The char hook comes first for every key, before the handlers that
  // run commands, so a command's own speech still follows.
  if (event.GetEventType() == wxEVT_CHAR_HOOK && announcer_ != nullptr)
    announcer_->Silence();
  return Event_Skip;
}

void SkyvigilApp::OnIdleEvent(wxIdleEvent& event) {
  gate_.Idle();
  event.Skip();
}

// --speak from a desktop's key or a launcher's action has no terminal to
// print to: the user hears why nothing was said instead.
void SayWithoutTerminal(std::string text) {
  while (!text.empty() && text.back() == '\n')
    text.pop_back();
  if (text.empty() || isatty(STDERR_FILENO) == 1)
    return;
  SpeechOutput speech;
  speech.Load();
  speech.TrySystemSpeech(true);
  speech.Output(text, false);
}

}  // namespace
}  // namespace skyvigil

int main(int argc, char** argv) {
  using skyvigil::CommandLine;
  // The options come before any window: --speak asks the running copy.
  CommandLine line = skyvigil::ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                               skyvigil::OptionStyle::posix);
  if (line.action == CommandLine::Action::speak) {
    line = skyvigil::AskRunningInstanceToSpeak(skyvigil::LinuxAppPaths().marker_file);
    if (line.exit_code != 0)
      skyvigil::SayWithoutTerminal(line.output);
  }
  if (line.action == CommandLine::Action::exit) {
    std::fputs(line.output.c_str(), line.is_error ? stderr : stdout);
    return line.exit_code;
  }
  // No message windows from wx itself: failures of data work stay silent, and
  // a failed start would try to show its message on the display it lacks.
  wxLog::EnableLogging(false);
  wxApp::SetInstance(new skyvigil::SkyvigilApp());
  const int code = wxEntry(argc, argv);
  // wx gives -1 when it could not start: GTK found no display to open.
  if (code < 0) {
    std::fputs("Skyvigil cannot open the display; it needs a graphical desktop session.\n", stderr);
    return 1;
  }
  return code;
}
