// Input box and key box: DLGTEMPLATEs in memory, run by DialogBoxIndirectParamW.
#include "platform/win32/input_box.h"

#include <string_view>
#include <utility>
#include <vector>

#include "app/window_specs.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win_controls.h"

namespace skyvigil {

namespace {

constexpr WORD kPromptId = 10;
constexpr WORD kFieldId = 11;
constexpr WORD kAddressId = 12;
constexpr WORD kProblemId = 13;
constexpr WORD kExplanationId = 14;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kButtonClass = 0x0080;

// What a dialog's procedure needs: the names to give its controls and the
// field's first text; it leaves the typed text in `answer`.
std::wstring Wide(std::string_view text) {
  return std::wstring(text.begin(), text.end());  // the dialogs' own texts are ASCII
}

struct DialogState {
  AccessibleNames* names;
  const std::wstring* field_name;
  const std::wstring* initial;
  const wchar_t* address_name;  // null where the dialog shows no address
  std::wstring answer;
  KeyTrial* trial = nullptr;  // the key box tries its key before it ends
  bool trying = false;
};

// OK in the key box: the dialog keeps answering while the key is tried; a
// second OK waits for the first.
void StartTrial(HWND dialog, DialogState& state) {
  if (state.trying)
    return;
  state.trying = true;
  EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
  state.trial->Start(win32::Utf16ToUtf8(state.answer), [dialog, &state] {
    state.trying = false;
    EndDialog(dialog, IDOK);
  });
}

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
  // A modal dialog of `items` controls, `cx` by `cy` dialog units, centred.
  void Header(const std::wstring& title, WORD items, short cx, short cy) {
    Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT | DS_CENTER);
    Dword(0);  // extended style
    Word(items);
    for (short value : {short{0}, short{0}, cx, cy})
      Word(static_cast<WORD>(value));
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(title);
    // Dialog units follow the font, so the whole box grows with the text size.
    Word(static_cast<WORD>(MulDiv(8, TextPercent(), 100)));
    Text(L"MS Shell Dlg 2");
  }
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
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      state = reinterpret_cast<DialogState*>(lparam);
      HWND field = GetDlgItem(dialog, kFieldId);
      state->names->Set(field, *state->field_name);
      if (state->address_name != nullptr)
        state->names->Set(GetDlgItem(dialog, kAddressId), state->address_name);
      SetWindowTextW(field, state->initial->c_str());
      SetFocus(field);
      // Focus would select the whole text; the cursor goes to its end instead.
      const auto end = static_cast<LPARAM>(state->initial->size());
      SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(end), end);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        if (state->trying)
          return TRUE;
        state->answer = WindowText(GetDlgItem(dialog, kFieldId));
        if (state->trial != nullptr)
          StartTrial(dialog, *state);
        else
          EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {  // Escape and the close box
        if (state->trying)
          state->trial->Cancel();
        state->trying = false;
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      state->names->Clear(GetDlgItem(dialog, kFieldId));
      if (state->address_name != nullptr)
        state->names->Clear(GetDlgItem(dialog, kAddressId));
      return FALSE;
    default:
      return FALSE;
  }
}

// Runs the dialog; the typed text, or nothing when it was cancelled.
std::optional<std::wstring> Run(HWND owner, const Template& t, DialogState& state) {
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner,
                                                 &Procedure, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK)
    return std::nullopt;
  return std::move(state.answer);
}

}  // namespace

std::optional<std::wstring> AskKeyBox(HWND owner, AccessibleNames& names, const KeyBoxTexts& texts,
                                      KeyTrial& trial) {
  Template t;
  t.Header(texts.title, 7, 280, 120);
  t.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 266, 30, kExplanationId, kStaticClass, texts.explanation);
  // Read-only text rather than a label, so the address can be selected and copied.
  t.Item(WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 7, 40, 266, 12, kAddressId,
         kEditClass, texts.address);
  t.Item(SS_LEFT | SS_NOPREFIX, 7, 56, 266, 10, kProblemId, kStaticClass, texts.problem);
  // The label right before the field, so it names the field.
  t.Item(SS_LEFT | SS_NOPREFIX, 7, 70, 266, 10, kPromptId, kStaticClass, texts.label);
  t.Item(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 82, 266, 12, kFieldId, kEditClass, L"");
  t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 169, 100, 50, 14, IDOK, kButtonClass,
         Wide(kDialogTexts.ok));
  t.Item(WS_TABSTOP | BS_PUSHBUTTON, 223, 100, 50, 14, IDCANCEL, kButtonClass,
         Wide(kDialogTexts.cancel));

  const std::wstring address_name = Wide(kDialogTexts.address_name);
  DialogState state{&names, &texts.label, &texts.initial, address_name.c_str(), {}, &trial};
  return Run(owner, t, state);
}

std::optional<std::wstring> AskInputBox(HWND owner, AccessibleNames& names,
                                        const std::wstring& title, const std::wstring& prompt,
                                        const std::wstring& initial) {
  // Dialog units; the font is the shell's dialog font at the system's DPI.
  Template t;
  t.Header(title, 3, 280, 62);
  // The prompt right before the field, so it names the field.
  t.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 266, 18, kPromptId, kStaticClass, prompt);
  t.Item(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 26, 266, 12, kFieldId, kEditClass, L"");
  t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 223, 43, 50, 14, IDOK, kButtonClass, Wide(kDialogTexts.ok));

  DialogState state{&names, &prompt, &initial, nullptr, {}};
  return Run(owner, t, state);
}

}  // namespace skyvigil
