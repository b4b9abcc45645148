// The guard's exception scope, written as the compiler would write an
// __except block: a scope table handled by the C run time's
// __C_specific_handler, whose filter is below.
#include "platform/win32/speech/rpc_guard.h"

#include <windows.h>

// Not in windows.h's lean set.
#ifndef STATUS_POSSIBLE_DEADLOCK
#define STATUS_POSSIBLE_DEADLOCK ((DWORD)0xC0000194L)
#endif
#ifndef STATUS_INSTRUCTION_MISALIGNMENT
#define STATUS_INSTRUCTION_MISALIGNMENT ((DWORD)0xC00000AAL)
#endif
#ifndef STATUS_STACK_BUFFER_OVERRUN
#define STATUS_STACK_BUFFER_OVERRUN ((DWORD)0xC0000409L)
#endif

#if !defined(__x86_64__)
#error "the exception scope below is written for x86-64 only"
#endif

// What RpcExceptionFilter lets through: faults of the caller, not of the call.
__attribute__((used)) static LONG RpcFailureFilter(EXCEPTION_POINTERS* exception, void* frame) {
  (void)frame;
  switch (exception->ExceptionRecord->ExceptionCode) {
    case STATUS_ACCESS_VIOLATION:
    case STATUS_POSSIBLE_DEADLOCK:
    case STATUS_INSTRUCTION_MISALIGNMENT:
    case STATUS_DATATYPE_MISALIGNMENT:
    case STATUS_PRIVILEGED_INSTRUCTION:
    case STATUS_ILLEGAL_INSTRUCTION:
    case STATUS_BREAKPOINT:
    case STATUS_STACK_OVERFLOW:
    case STATUS_IN_PAGE_ERROR:
    case STATUS_GUARD_PAGE_VIOLATION:
    case STATUS_STACK_BUFFER_OVERRUN:
      return EXCEPTION_CONTINUE_SEARCH;
    default:
      return EXCEPTION_EXECUTE_HANDLER;
  }
}

// One scope from the call to the label after it; an exception the filter
// takes unwinds to that label with `returned` still 0. Not inlined, so the
// labels exist once.
__attribute__((noinline)) int CallCatchingRpcFailure(void (*call)(void*), void* context) {
  volatile int returned = 0;
  __asm__ __volatile__(
      ".Lrpc_guard_begin:\n"
      "\t.seh_handler __C_specific_handler, @except\n"
      "\t.seh_handlerdata\n"
      "\t.long 1\n"
      "\t.rva .Lrpc_guard_begin, .Lrpc_guard_end, RpcFailureFilter, .Lrpc_guard_end\n"
      "\t.text\n" ::
          : "memory");
  call(context);
  returned = 1;
  __asm__ __volatile__(
      "\tnop\n"
      ".Lrpc_guard_end:\n"
      "\tnop\n" ::
          : "memory");
  return returned;
}
