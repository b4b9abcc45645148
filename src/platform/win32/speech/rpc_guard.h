// Runs one RPC call and survives the RPC run time's way of failing it: a
// structured exception (server gone, call refused), which C++ cannot catch
// under gcc.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Calls `call(context)`. Returns 1 when it returned, 0 when an RPC failure
// ended it. Faults of the program itself (access violation, stack overflow…)
// are not caught.
int CallCatchingRpcFailure(void (*call)(void*), void* context);

#ifdef __cplusplus
}
#endif
