// The program's start, its order decided once for every desktop: the
// single-instance guard, an update cut short, the services, settings and
// cities, the automatic update check, the main window, the first refresh, the
// show-request listener, the event loop. Each composition root hands in what
// only it can do.
#pragma once

#include <functional>
#include <string>

#include "app/core_gate.h"
#include "ports/instance_lock.h"
#include "ports/paths.h"
#include "ports/show_requests.h"
#include "update/update_check.h"

namespace skyvigil {

// What only the desktop can do, in the order StartProgram calls it.
struct DesktopStart {
  // A message box before any window stands (a second start's alert).
  std::function<void(const std::string& title, const std::string& text)> alert;
  // Finishes or undoes an update cut short, once the marker is this start's
  // and before any file is read; false when the updater has been started to
  // finish it and this start must end. Unset where no updater installs.
  std::function<bool()> finish_left_update;
  // Builds the services and the App over them; called once this start may run.
  std::function<App&()> build_services;
  // Builds the main window (hidden, from SpecOf(WindowKind::main)) with its
  // tray icon and menus. The screen fills and shows it afterwards.
  std::function<void(App& app, const std::string& title)> build_main_window;
  // What the desktop offers: a tray icon (without one, Escape minimises the
  // window), and the system-wide keys.
  DesktopFacts facts;
  // Runs the event loop until the exit ends it; returns the loop's code.
  std::function<int()> run_event_loop;
};

// Runs the program and returns main's exit code: 0 for a second start, which
// only asks the running instance to show its window, and for a start that
// handed an update cut short to the updater.
int StartProgram(const AppPaths& paths, InstanceLock& marker, ShowRequestListener& show_requests,
                 CoreGate& gate, const DesktopStart& desktop);

// Where the update check looks and what it compares, from the settings read.
UpdateSource UpdateSourceFor(const AppState& state);

}  // namespace skyvigil
