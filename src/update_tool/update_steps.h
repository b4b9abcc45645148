// The updater's procedure: wait for Skyvigil to end and take its marker,
// check Skyvigil.zip's signature, unpack it beside the program, swap the files
// in under a journal that a later start finishes or undoes, restart it. The
// file system is a port.
#pragma once

#include "update/update_signature.h"
#include "update_tool/update_journal.h"

namespace skyvigil::update_tool {

struct UpdateTiming {
  int wait_limit_ms = 30000;
  int poll_ms = 250;
};

// On every failure but a program that won't end, the old program is left
// whole, the reason is shown and the old program is started again. A journal
// left by an update cut short (or handed over by Skyvigil's start) is
// finished or undone first, and that is all the run does. The marker is given
// back before any box is shown and before the program starts.
UpdateOutcome RunUpdate(UpdaterOps& ops, const UpdateTrust& trust, const UpdateTiming& timing = {});

// RunUpdate for the updater's entry: any exception (no memory left, a failing
// system call) is shown too, and the old program started again.
UpdateOutcome RunUpdateOrRestart(UpdaterOps& ops, const UpdateTrust& trust,
                                 const UpdateTiming& timing = {});

}  // namespace skyvigil::update_tool
