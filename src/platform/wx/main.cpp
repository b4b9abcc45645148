// Program entry: the single-instance guard, the core's services, the main
// window and its tray icon, then wx's event loop.
#include <filesystem>
#include <memory>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "app/announcement_history.h"
#include "app/commands.h"
#include "app/core_gate.h"
#include "app/local_clock.h"
#include "app/update_thread.h"
#include "platform/curl/http_curl.h"
#include "platform/linux/app_paths.h"
#include "platform/linux/desktop_announcer.h"
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
  int FilterEvent(wxEvent& event) override;

 private:
  void OnIdleEvent(wxIdleEvent& event);

  CoreGate gate_;
  InstanceLock marker_;
  ShowRequestListener show_requests_;
  std::unique_ptr<DesktopAnnouncer> announcer_;
  std::unique_ptr<AnnouncementHistory> history_;  // speaks through announcer_
  std::unique_ptr<CurlHttpClient> http_;
  LocalClock clock_;
  std::unique_ptr<WxUi> ui_;
  std::unique_ptr<WxProcess> process_;
  WxMainThread main_thread_;
  std::unique_ptr<App> app_;
};

bool SkyvigilApp::OnInit() {
  // No message windows from wx itself: failures of data work stay silent.
  wxLog::EnableLogging(false);

  const AppPaths paths = LinuxAppPaths();
  const InstanceLock::Outcome marker = marker_.Acquire(paths.marker_file);
  if (marker == InstanceLock::Outcome::other_instance) {
    wxMessageBox("The program already seems to be running.", "Alert", wxOK | wxICON_NONE);
    // The running window may be hidden behind the tray: bring it back.
    AskRunningInstanceToShow(paths.marker_file);
    return false;  // main() ends the process with code 0
  }
  if (marker == InstanceLock::Outcome::folder_not_writable)
    wxMessageBox(
        "Skyvigil cannot write in its folder, so changes to the settings and the "
        "cities will not be kept.",
        "Alert", wxOK | wxICON_NONE);
  // Otherwise unguarded (the marker can't be made): run without the guard.

  announcer_ = std::make_unique<DesktopAnnouncer>(paths.cues_folder);
  history_ = std::make_unique<AnnouncementHistory>(*announcer_, clock_);
  http_ = std::make_unique<CurlHttpClient>();
  ui_ = std::make_unique<WxUi>(gate_);
  process_ = std::make_unique<WxProcess>(*ui_, marker_, [this] { announcer_->Shutdown(); });
  app_ = std::make_unique<App>(
      App{AppState{}, *ui_, *history_, *http_, clock_, *process_, main_thread_});
  app_->history = history_.get();
  app_->state.paths = paths;
  gate_.Attach(*app_);

  gate_.RunBeforeLoop([](App& app) { LoadSettingsAndCities(app); });

  // The update server's address comes from prefs.ini, so the automatic check
  // starts once the settings are read. Its dialogs wait for the event loop.
  UpdateSource update_source;
  update_source.update_address = app_->state.service.update_address;
  update_source.app_version = app_->state.app_version;
  update_source.archive_file = paths.archive_file;
  update_source.packaged = paths.updater_program.empty();
  StartAutomaticUpdateCheck(gate_, main_thread_, *http_, *history_, update_source);

  auto* frame = new MainFrame(gate_, "Skyvigil " + app_->state.version_text);
  SetTopWindow(frame);
  ui_->Attach(frame, new TrayIcon(gate_));

  // The saved cities fill the lists first; a first run's key dialog comes
  // before the window too, like its "New City" prompt.
  gate_.RunBeforeLoop([](App& app) { FirstRefresh(app); });
  if (app_->state.prefs.window_hidden != 1)
    frame->ShowAtStart();
  show_requests_.Listen(paths.marker_file,
                        [this] { gate_.PostToCore([](App& app) { OnShowRequest(app); }); });

  // Idle passes come only after events were handled: no polling while nothing happens.
  Bind(wxEVT_IDLE, &SkyvigilApp::OnIdleEvent, this);
  return true;
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

}  // namespace
}  // namespace skyvigil

int main(int argc, char** argv) {
  wxApp::SetInstance(new skyvigil::SkyvigilApp());
  wxEntry(argc, argv);
  // The process normally ends inside the core's exit; every other way out is code 0 too.
  return 0;
}
