#include "tests/export/dialog_driver.h"

#include "ui/message_box_dlg.h"

namespace {

constexpr const char* DriverClass = "__ExportDialogDriver__";
constexpr const char* DialogClass = "#32770";
// The skinned message box has no title in the forms the export dialogs show.
constexpr const char* BoxTitle = "";
constexpr UINT_PTR TickTimer = 7;
constexpr UINT TickMs = 5;

} // namespace

TDialogDriver::TDialogDriver() {
    WNDCLASSEXA windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = DriverClass;
    RegisterClassExA(&windowClass);
    m_window = CreateWindowExA(0, DriverClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TDialogDriver::~TDialogDriver() { DestroyWindow(m_window); }

void TDialogDriver::Drive(TFind find, std::vector<TStep> steps) {
    m_find = std::move(find);
    m_steps = std::move(steps);
    m_next = 0;
    m_boxes.clear();
    SetTimer(m_window, TickTimer, TickMs, nullptr);
}

bool TDialogDriver::AnswerBox() {
    HWND window = FindWindowA(DialogClass, BoxTitle);
    const auto* box = window ? dynamic_cast<CMessageBoxDlg*>(WindowObject(window)) : nullptr;
    if (!box)
        return false;
    m_boxes.push_back(TAnsweredBox{box->Text(), box->Folder()});
    PostMessageA(window, WM_COMMAND, box->OffersOpenFolder() ? IDOPEN : IDOK, 0);
    return true;
}

// Boxes keep being answered after the last step: one may follow it.
void TDialogDriver::Tick() {
    if (AnswerBox() || m_next >= m_steps.size())
        return;
    HWND dialog = m_find();
    if (!dialog)
        return;
    m_steps[m_next++](dialog);
}

LRESULT TDialogDriver::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* driver = reinterpret_cast<TDialogDriver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_TIMER && wParam == TickTimer && driver) {
        driver->Tick();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND FindDialog(const char* title) {
    HWND dialog = FindWindowA(DialogClass, title);
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

std::string TitleOf(HWND window) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

TDialogDriver::TStep Press(int id) {
    return [id](HWND dialog) { PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); };
}
