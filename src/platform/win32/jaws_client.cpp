// JAWS through its IDispatch: SayString, and RunFunction of the script
// function BrailleMessage. Each call runs on a thread of its own that joins
// the process's multithreaded apartment, where the object (or COM's proxy to
// it) may be used from any thread.
#include "platform/win32/jaws_client.h"

#include <windows.h>
// After windows.h, which they build on.
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <cwctype>
#include <thread>
#include <utility>

namespace skyvigil {

struct JawsClient::Object {
  IDispatch* dispatch = nullptr;
  DISPID say_string = 0;
  DISPID run_function = 0;
  ~Object() {
    if (dispatch != nullptr)
      dispatch->Release();
  }
};

namespace {

// The calling thread's part in the multithreaded apartment.
struct Apartment {
  Apartment() : joined(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~Apartment() {
    if (joined)
      ::CoUninitialize();
  }
  const bool joined;
};

bool SameText(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

// What the registry says of the class: in process or not, and its threading model.
bool RegisteredOffMainThread(const CLSID& jaws_class) {
  wchar_t id[40] = L"";
  if (::StringFromGUID2(jaws_class, id, 40) == 0)
    return false;
  const std::wstring key = std::wstring(L"CLSID\\") + id + L"\\InprocServer32";
  HKEY server = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &server) != ERROR_SUCCESS)
    return JawsObjectLeavesMainThreadFree(false, L"");
  wchar_t model[32] = L"";
  DWORD size = sizeof(model);
  if (::RegGetValueW(server, nullptr, L"ThreadingModel", RRF_RT_REG_SZ, nullptr, model, &size) !=
      ERROR_SUCCESS) {
    model[0] = L'\0';
  }
  ::RegCloseKey(server);
  return JawsObjectLeavesMainThreadFree(true, model);
}

bool Make(JawsClient::Object& object) {
  Apartment apartment;
  CLSID jaws_class{};
  if (FAILED(::CLSIDFromProgID(L"FreedomSci.JawsApi", &jaws_class)))
    return false;
  if (!RegisteredOffMainThread(jaws_class)) {
    ::OutputDebugStringW(
        L"Skyvigil speech: JAWS's object would run on the window thread; not used");
    return false;
  }
  if (FAILED(::CoCreateInstance(jaws_class, nullptr, CLSCTX_ALL, __uuidof(IDispatch),
                                reinterpret_cast<void**>(&object.dispatch)))) {
    object.dispatch = nullptr;
    return false;
  }
  LPOLESTR say = const_cast<LPOLESTR>(L"SayString");
  LPOLESTR run = const_cast<LPOLESTR>(L"RunFunction");
  return SUCCEEDED(object.dispatch->GetIDsOfNames(IID_NULL, &say, 1, LOCALE_USER_DEFAULT,
                                                  &object.say_string)) &&
         SUCCEEDED(object.dispatch->GetIDsOfNames(IID_NULL, &run, 1, LOCALE_USER_DEFAULT,
                                                  &object.run_function));
}

bool Invoke(IDispatch* object, DISPID method, VARIANT* arguments, UINT count) {
  DISPPARAMS parameters{arguments, nullptr, count, 0};
  VARIANT result;
  ::VariantInit(&result);
  const HRESULT invoked = object->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                         &parameters, &result, nullptr, nullptr);
  const bool taken =
      SUCCEEDED(invoked) && !(result.vt == VT_BOOL && result.boolVal == VARIANT_FALSE);
  ::VariantClear(&result);
  return taken;
}

// The script function's string cannot hold a double quote.
bool SayAndShow(const JawsClient::Object& object, const std::wstring& text, bool interrupt) {
  Apartment apartment;
  VARIANT arguments[2];  // in reverse order: flush, then the text
  ::VariantInit(&arguments[0]);
  arguments[0].vt = VT_BOOL;
  arguments[0].boolVal = interrupt ? VARIANT_TRUE : VARIANT_FALSE;
  ::VariantInit(&arguments[1]);
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  const bool said = Invoke(object.dispatch, object.say_string, arguments, 2);
  ::VariantClear(&arguments[1]);
  if (!said)
    return false;
  std::wstring shown = text;
  std::replace(shown.begin(), shown.end(), L'"', L'\'');
  VARIANT function;
  ::VariantInit(&function);
  function.vt = VT_BSTR;
  function.bstrVal = ::SysAllocString((L"BrailleMessage(\"" + shown + L"\")").c_str());
  Invoke(object.dispatch, object.run_function, &function, 1);
  ::VariantClear(&function);
  return true;
}

// Its Release is a call into JAWS too: made on a thread of its own, which may
// wait as long as it must (a call given up on holds the object as well).
void ReleaseOnItsOwnThread(std::shared_ptr<JawsClient::Object> object) {
  if (object == nullptr)
    return;
  std::thread([object = std::move(object)]() mutable {
    Apartment apartment;
    object.reset();
  }).detach();
}

}  // namespace

bool JawsObjectLeavesMainThreadFree(bool in_process, std::wstring_view threading_model) {
  if (!in_process)
    return true;  // another process's object: only a proxy lives here
  return !threading_model.empty() && !SameText(threading_model, L"Single");
}

JawsClient::~JawsClient() {
  Drop();
}

void JawsClient::Drop() {
  ReleaseOnItsOwnThread(std::move(object_));
  object_ = nullptr;
}

bool JawsClient::Running() {
  if (::FindWindowW(L"JFWUI2", nullptr) == nullptr) {
    Drop();
    return false;
  }
  if (object_ != nullptr)
    return true;
  auto object = std::make_shared<Object>();
  if (!caller_.Run([object] { return Make(*object); })) {
    ReleaseOnItsOwnThread(std::move(object));
    return false;
  }
  object_ = std::move(object);
  return true;
}

bool JawsClient::Say(const std::wstring& text, bool interrupt) {
  if (object_ == nullptr)
    return false;
  const bool taken = caller_.Run(
      [object = object_, text, interrupt] { return SayAndShow(*object, text, interrupt); });
  if (!taken)
    Drop();
  return taken;
}

}  // namespace skyvigil
