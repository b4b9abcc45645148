// The user's own key for the weather service: asked for at start when there is
// none, and from the Settings menu; tried with one request before it is kept.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// The [service] group gave a key, and it is not the built-in placeholder.
bool HasOwnServiceKey(const ServiceConfig& service);

// Shows the "Weather Service Key" dialog until a key is accepted by the
// service (then saved into prefs.ini and used) or the user cancels. A refused
// key's message from the service is said and shown. The key itself is never
// spoken or put into a text. True when a key was kept.
bool AskForServiceKey(App& app);

}  // namespace skyvigil
