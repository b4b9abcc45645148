// Input box: a DLGTEMPLATE in memory, run by DialogBoxIndirectParamW.
#include "platform/win32/input_box.h"

#include <vector>

#include "platform/win32/accessible_names.h"
#include "platform/win32/win_controls.h"

namespace skyvigil {

namespace {

constexpr WORD kPromptId = 10;
constexpr WORD kFieldId = 11;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kButtonClass = 0x0080;

struct InputState {
  AccessibleNames* names;
  const std::wstring* prompt;
  const std::wstring* initial;
  std::wstring answer;
};

// A dialog template: WORDs, with DWORD alignment before the header and each item.
class Template {
 public:
  void Align() {
    if (words_.size() % 2 != 0)
      words_.push_back(0);
  }
  void Dword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Word(WORD value) { words_.push_back(value); }
  void Text(const std::wstring& text) {
    for (wchar_t c : text)
      words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD kind,
            const std::wstring& text) {
    Align();
    Dword(WS_CHILD | WS_VISIBLE | style);
    Dword(0);  // extended style
    for (short value : {x, y, cx, cy})
      Word(static_cast<WORD>(value));
    Word(id);
    Word(0xFFFF);
    Word(kind);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      state = reinterpret_cast<InputState*>(lparam);
      HWND field = GetDlgItem(dialog, kFieldId);
      state->names->Set(field, *state->prompt);
      SetWindowTextW(field, state->initial->c_str());
      SetFocus(field);
      // Focus would select the whole text; the cursor goes to its end instead.
      const auto end = static_cast<LPARAM>(state->initial->size());
      SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(end), end);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        state->answer = WindowText(GetDlgItem(dialog, kFieldId));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {  // Escape and the close box
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      state->names->Clear(GetDlgItem(dialog, kFieldId));
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

std::wstring AskInputBox(HWND owner, AccessibleNames& names, const std::wstring& title,
                         const std::wstring& prompt, const std::wstring& initial) {
  // Dialog units; the font is the shell's dialog font at the system's DPI.
  Template t;
  t.Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT | DS_CENTER);
  t.Dword(0);  // extended style
  t.Word(3);   // items
  for (short value : {0, 0, 280, 62})
    t.Word(static_cast<WORD>(value));
  t.Word(0);  // no menu
  t.Word(0);  // the standard dialog class
  t.Text(title);
  t.Word(8);
  t.Text(L"MS Shell Dlg 2");
  // The prompt right before the field, so it names the field.
  t.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 266, 18, kPromptId, kStaticClass, prompt);
  t.Item(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 26, 266, 12, kFieldId, kEditClass, L"");
  t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 223, 43, 50, 14, IDOK, kButtonClass, L"OK");

  InputState state{&names, &prompt, &initial, {}};
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner,
                                                 &Procedure, reinterpret_cast<LPARAM>(&state));
  return result == IDOK ? state.answer : std::wstring();
}

}  // namespace skyvigil
