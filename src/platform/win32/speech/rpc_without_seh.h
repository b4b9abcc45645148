// Force-included into widl's stubs: rpc.h's RpcTryExcept and friends expand
// to __try, which gcc lacks. Plain blocks instead; the RPC run time's
// exceptions are caught around the whole call (rpc_guard.h).
#pragma once

#include <rpc.h>
#include <windows.h>

#undef RpcTryExcept
#undef RpcExcept
#undef RpcEndExcept
#undef RpcTryFinally
#undef RpcFinally
#undef RpcEndFinally
#undef RpcExceptionCode
#undef RpcAbnormalTermination
#define RpcTryExcept {
#define RpcExcept(expr) \
  }                     \
  if (0) {
#define RpcEndExcept }
#define RpcTryFinally {
#define RpcFinally \
  }                \
  {
#define RpcEndFinally }
#define RpcExceptionCode() 0
#define RpcAbnormalTermination() 0
