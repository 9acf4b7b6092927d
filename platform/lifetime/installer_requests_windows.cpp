// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The installer finds the running program by a hidden message-only window of this class and
// sends it the registered message; the message's result is the answer. Both names are the
// installer's too (packaging/windows/zeravan.nsi). A window rather than the single-instance pipe:
// the installer runs as an administrator, possibly another one than the user, and so could not
// compute the pipe's name, and NSIS can find a window and send it a message, with a timeout,
// without any code of its own.
#include <windows.h>

#include "platform/installer_requests.h"

namespace zeravan::platform {

namespace {

constexpr wchar_t windowClass[] = L"io.github.orrimel.Zeravan.InstallerRequests";
constexpr wchar_t requestMessage[] = L"io.github.orrimel.Zeravan.EndForInstaller";
// No answer (a program that hangs, or none at all) reads as 0 to the installer.
constexpr LRESULT ending = 1;
constexpr LRESULT staying = 2;

class WindowsInstallerRequests final : public InstallerRequests {
public:
    WindowsInstallerRequests() : request_(RegisterWindowMessageW(requestMessage)) {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = &WindowsInstallerRequests::receive;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = windowClass;
        RegisterClassExW(&type);
        window_ = CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  type.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    ~WindowsInstallerRequests() override {
        DestroyWindow(window_);
        UnregisterClassW(windowClass, GetModuleHandleW(nullptr));
    }

    WindowsInstallerRequests(const WindowsInstallerRequests&) = delete;
    WindowsInstallerRequests& operator=(const WindowsInstallerRequests&) = delete;

    void answerWith(std::function<bool()> endIfAllowed) override {
        endIfAllowed_ = std::move(endIfAllowed);
    }

private:
    static LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const auto* self =
            reinterpret_cast<WindowsInstallerRequests*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == self->request_) {
            return self->endIfAllowed_ && self->endIfAllowed_() ? ending : staying;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    UINT request_;
    HWND window_ = nullptr;
    std::function<bool()> endIfAllowed_;
};

}  // namespace

std::unique_ptr<InstallerRequests> makeInstallerRequests() {
    return std::make_unique<WindowsInstallerRequests>();
}

}  // namespace zeravan::platform
