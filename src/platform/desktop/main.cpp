// Program entry: the single-instance guard, the core's services, the main
// window and its tray icon, then wx's event loop.
#include <ctime>
#include <memory>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "app/app_state.h"
#include "app/clock.h"
#include "app/commands.h"
#include "platform/desktop/core_gate.h"
#include "platform/desktop/main_frame.h"
#include "platform/desktop/tray_icon.h"
#include "platform/desktop/update_thread.h"
#include "platform/desktop/wx_ui.h"
#include "platform/instance_lock.h"
#include "platform/output/desktop_announcer.h"
#include "weather/http_curl.h"

namespace skyvigil {
namespace {

class LocalClock : public Clock {
 public:
  CivilDate Today() const override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  }
};

class SkyvigilApp : public wxApp {
 public:
  bool OnInit() override;

 private:
  void OnIdleEvent(wxIdleEvent& event);

  CoreGate gate_;
  InstanceLock marker_;
  std::unique_ptr<DesktopAnnouncer> announcer_;
  std::unique_ptr<CurlHttpClient> http_;
  LocalClock clock_;
  std::unique_ptr<WxUi> ui_;
  std::unique_ptr<App> app_;
};

bool SkyvigilApp::OnInit() {
  // No message windows from wx itself: failures of data work stay silent.
  wxLog::EnableLogging(false);

  if (marker_.Acquire("running") == InstanceLock::Outcome::other_instance) {
    wxMessageBox("The program already seems to be running.", "Alert", wxOK | wxICON_NONE);
    return false;  // main() ends the process with code 0
  }
  // Outcome::unguarded (the marker can't be made): run without the guard.

  announcer_ = std::make_unique<DesktopAnnouncer>("snd");
  http_ = std::make_unique<CurlHttpClient>();
  ui_ = std::make_unique<WxUi>(gate_, marker_, [this] { announcer_->Shutdown(); });
  app_ = std::make_unique<App>(App{AppState{}, *ui_, *announcer_, *http_, clock_});
  gate_.Attach(*app_);

  gate_.RunBeforeLoop([](App& app) { LoadSettingsAndCities(app); });

  // The update server's address comes from prefs.ini, so the automatic check
  // starts once the settings are read. Its dialogs wait for the event loop.
  UpdateSource update_source;
  update_source.update_address = app_->state.service.update_address;
  update_source.app_version = app_->state.app_version;
  StartAutomaticUpdateCheck(gate_, *http_, *announcer_, update_source);

  const bool hidden = app_->state.prefs.window_hidden == 1;
  auto* frame = new MainFrame(gate_, "Skyvigil " + app_->state.version_text, hidden);
  SetTopWindow(frame);
  ui_->Attach(frame, new TrayIcon(gate_));

  gate_.RunBeforeLoop([](App& app) { FirstRefresh(app); });

  // Idle passes come only after events were handled: no polling while nothing happens.
  Bind(wxEVT_IDLE, &SkyvigilApp::OnIdleEvent, this);
  return true;
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
