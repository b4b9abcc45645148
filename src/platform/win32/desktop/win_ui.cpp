// UiPort on Win32. Core texts are UTF-8; they become UTF-16 at each call.
#include "platform/win32/desktop/win_ui.h"

#include <cstring>
#include <variant>

#include "app/commands.h"
#include "app/core_gate.h"
#include "platform/win32/desktop/input_box.h"
#include "platform/win32/desktop/main_window.h"
#include "platform/win32/desktop/spec_window.h"
#include "platform/win32/desktop/win_keys.h"
#include "platform/win32/utf16.h"

namespace skyvigil {

namespace change = screen_change;

namespace {

// Dialogs belong to the foreground window when it is ours, else to none.
HWND DialogOwner() {
  HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground != nullptr)
    GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}

// Without an owner a box still keeps the program's windows waiting.
UINT Modality(HWND owner) {
  return owner == nullptr ? MB_TASKMODAL : MB_APPLMODAL;
}

std::wstring Wide(const std::string& text) {
  return win32::Utf8ToUtf16(text);
}

}  // namespace

WinUi::WinUi(CoreGate& gate, AccessibleNames& names) : gate_(gate), names_(names) {}

WinUi::~WinUi() = default;

HWND WinUi::BuildMainWindow(const std::string& title, HICON small_icon) {
  main_ = std::make_unique<MainWindow>(gate_, names_, Wide(title), small_icon);
  return main_->hwnd();
}

void WinUi::Apply(const std::vector<ScreenChange>& changes) {
  for (const ScreenChange& c : changes) {
    if (const auto* focus = std::get_if<change::Focus>(&c))
      coming_focus_ = focus->control;
  }
  for (SpecWindow* window :
       {static_cast<SpecWindow*>(main_.get()), secondary_.get(), download_.get()})
    RememberComingFocus(window);
  for (const ScreenChange& c : changes)
    std::visit([this](const auto& one) { Carry(one); }, c);
  coming_focus_ = -1;
  // What these changes did to the focus is no news to the core.
  focus_seen_ = GetFocus();
}

void WinUi::RememberComingFocus(SpecWindow* window) const {
  if (window == nullptr || coming_focus_ < 0)
    return;
  if (HWND control = window->control(coming_focus_))
    window->RememberFocus(control);
}

SpecWindow* WinUi::WindowWith(int number) const {
  for (SpecWindow* window :
       {static_cast<SpecWindow*>(main_.get()), secondary_.get(), download_.get()}) {
    if (window != nullptr && HasControl(window->spec().kind, number))
      return window;
  }
  return nullptr;
}

SpecWindow* WinUi::WindowOf(HWND root) const {
  for (SpecWindow* window :
       {static_cast<SpecWindow*>(main_.get()), secondary_.get(), download_.get()}) {
    if (window != nullptr && window->hwnd() == root)
      return window;
  }
  return nullptr;
}

void WinUi::Carry(const change::SetTextSize& c) {
  SetTextPercent(c.percent);
  for (SpecWindow* window :
       {static_cast<SpecWindow*>(main_.get()), secondary_.get(), download_.get()}) {
    if (window != nullptr)
      window->ApplyTextSize();
  }
}

void WinUi::Carry(const change::SetLines& c) {
  SpecWindow* window = WindowWith(c.control);
  if (window == nullptr)
    return;
  SetListLines(window->control(c.control), c.lines);
  if (window == main_.get())
    main_->LayOut();  // the widest line decides the list's width
}

void WinUi::Carry(const change::Select& c) {
  if (SpecWindow* window = WindowWith(c.control))
    SelectListLine(window->control(c.control), c.index);
}

void WinUi::Carry(const change::SetText& c) {
  SpecWindow* window = WindowWith(c.control);
  if (window == nullptr)
    return;
  // WM_SETTEXT raises no event that reaches the core.
  SetWindowTextW(window->control(c.control), Wide(c.text).c_str());
  if (c.control == kHeading)
    names_.Set(window->control(kReportList), Wide(c.text));
}

void WinUi::Carry(const change::SetChecked& c) {
  if (main_ != nullptr)
    CheckMenuItem(GetMenu(main_->hwnd()), static_cast<UINT>(c.command),
                  MF_BYCOMMAND | (c.checked ? MF_CHECKED : MF_UNCHECKED));
}

void WinUi::Carry(const change::OpenSecondary& c) {
  secondary_.reset();
  if (main_ == nullptr)
    return;
  secondary_ = SpecWindow::Open(c.kind, main_->hwnd(), gate_, names_);
  RememberComingFocus(secondary_.get());
}

void WinUi::Carry(const change::CloseSecondary&) {
  secondary_.reset();
}

void WinUi::Carry(const change::OpenDownload&) {
  download_.reset();
  if (main_ == nullptr)
    return;
  download_ = SpecWindow::Open(WindowKind::download, main_->hwnd(), gate_, names_);
  RememberComingFocus(download_.get());
}

void WinUi::Carry(const change::SetProgress& c) {
  if (download_ != nullptr)
    download_->SetProgress(c.percent);
}

void WinUi::Carry(const change::CloseDownload&) {
  download_.reset();
}

void WinUi::Carry(const change::SetTooltip& c) {
  if (main_ != nullptr)
    main_->tray().SetTooltip(Wide(c.text));
}

// Shown without activation first, so that the one activation comes last: the
// screen reader hears the window come to the front, then WM_ACTIVATE focuses
// the control the core gives the focus to, as it does for a dialog.
void WinUi::Carry(const change::ShowMain& c) {
  HWND hwnd = main_->hwnd();
  if (!shown_once_) {
    shown_once_ = true;
    ShowWindow(hwnd, SW_SHOW);
  } else if (!c.to_front && was_minimized_) {
    ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
    return;
  } else {
    // A hidden window keeps its maximised state; SW_SHOWNA shows it as it was.
    ShowWindow(hwnd, c.to_front && IsIconic(hwnd) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
  }
  // Windows may keep the foreground for the program the user turned to last;
  // active among ours at least, the focus is right when the user comes here.
  if (!SetForegroundWindow(hwnd))
    SetActiveWindow(hwnd);
}

void WinUi::Carry(const change::HideMain&) {
  was_minimized_ = IsIconic(main_->hwnd()) != 0;
  ShowWindow(main_->hwnd(), SW_HIDE);
}

void WinUi::Carry(const change::MinimiseMain&) {
  ShowWindow(main_->hwnd(), SW_MINIMIZE);
}

void WinUi::Carry(const change::Focus& c) {
  SpecWindow* window = WindowWith(c.control);
  if (window == nullptr)
    return;
  HWND control = window->control(c.control);
  window->RememberFocus(control);
  // While another program is active, the window's activation focuses it.
  HWND active = GetActiveWindow();
  if (active == nullptr || !IsWindowVisible(window->hwnd()))
    return;
  if (active != window->hwnd())
    SetActiveWindow(window->hwnd());
  SetFocus(control);
}

void WinUi::Carry(const change::RemoveTray&) {
  main_->tray().Remove();
}

void WinUi::Carry(const change::CloseMain&) {
  // Destroying it here would pull the window out from under the handler that
  // runs in it; the message loop ends right after and main destroys it.
  ShowWindow(main_->hwnd(), SW_HIDE);
}

bool WinUi::TakeKey(MSG& message) {
  if (message.hwnd == nullptr)
    return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  SpecWindow* window = WindowOf(root);
  if (window == nullptr)
    return false;  // a dialog's, which runs its own keys
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    const Shortcut pressed = PressedKey(message.wParam);
    HWND focus = GetFocus();
    const int focused = focus != nullptr && IsChild(root, focus) ? GetDlgCtrlID(focus) : -1;
    int command = CommandForKey(window->spec().kind, pressed, focused);
    const bool plain = !pressed.control && !pressed.shift && !pressed.alt;
    if (command == 0 && pressed.key == Shortcut::Key::enter && plain) {
      // Enter on a button presses it.
      for (const ControlSpec& c : window->spec().controls) {
        if (c.number == focused && c.kind == ControlKind::button)
          command = c.command;
      }
    }
    if (command != 0) {
      gate_.Run([command](App& app) { RunCommand(app, command); });
      return true;
    }
    // Enter and Escape belong to the focused control, never to the window's
    // default buttons.
    if (pressed.key == Shortcut::Key::enter || pressed.key == Shortcut::Key::escape)
      return false;
  }
  // Tab and Shift+Tab between the controls of the window.
  return IsDialogMessageW(root, &message) != 0;
}

void WinUi::NoticeFocus() {
  HWND focus = GetFocus();
  if (focus == focus_seen_)
    return;
  focus_seen_ = focus;
  SpecWindow* window = focus != nullptr ? WindowOf(GetAncestor(focus, GA_ROOT)) : nullptr;
  if (window == nullptr)
    return;
  const int number = GetDlgCtrlID(focus);
  if (!HasControl(window->spec().kind, number))
    return;
  window->RememberFocus(focus);
  gate_.Run([number](App& app) { OnFocus(app, number); });
}

void WinUi::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  HWND owner = DialogOwner();
  const UINT style = MB_OK | Modality(owner) | (icon == MessageIcon::error ? MB_ICONERROR : 0);
  MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), style);
}

bool WinUi::AskYesNo(const std::string& title, const std::string& text) {
  HWND owner = DialogOwner();
  return MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), MB_YESNO | Modality(owner)) ==
         IDYES;
}

std::optional<std::string> WinUi::AskText(const TextPrompt& prompt) {
  const std::optional<std::wstring> answer = AskInputBox(DialogOwner(), names_, Wide(prompt.title),
                                                         Wide(prompt.prompt), Wide(prompt.initial));
  if (!answer)
    return std::nullopt;
  return win32::Utf16ToUtf8(*answer);
}

std::optional<std::string> WinUi::AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) {
  const KeyBoxTexts texts{Wide(prompt.title), Wide(prompt.explanation), Wide(prompt.address),
                          Wide(prompt.label), Wide(prompt.problem),     Wide(prompt.initial)};
  const std::optional<std::wstring> key = AskKeyBox(DialogOwner(), names_, texts, trial);
  if (!key)
    return std::nullopt;
  return win32::Utf16ToUtf8(*key);
}

void WinUi::SetClipboardText(const std::string& text) {
  const std::wstring wide = Wide(text);
  // A busy clipboard is not reported.
  if (!OpenClipboard(main_ != nullptr ? main_->hwnd() : nullptr))
    return;
  EmptyClipboard();
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr)
      GlobalFree(memory);
  }
  CloseClipboard();
}

}  // namespace skyvigil
