// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "painter_launch.h"

namespace zeravan::platform {

namespace {

// What CreateProcess reads for a start whose inherited handles are named one by one; it must
// last until CreateProcess returns.
class NamedInheritance {
public:
    NamedInheritance() = default;
    NamedInheritance(const NamedInheritance&) = delete;
    NamedInheritance& operator=(const NamedInheritance&) = delete;
    ~NamedInheritance() {
        if (listMade_) DeleteProcThreadAttributeList(list());
    }

    // Only the standard handles QProcess gives the process are inherited; should the list not
    // be made, none is, and the painter, without its input and output, fails to start.
    void apply(QProcess::CreateProcessArguments& arguments) {
        const STARTUPINFOW& given = *arguments.startupInfo;
        for (HANDLE handle : {given.hStdInput, given.hStdOutput, given.hStdError}) {
            DWORD flags = 0;
            if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
                GetHandleInformation(handle, &flags) && (flags & HANDLE_FLAG_INHERIT) &&
                std::find(handles_.begin(), handles_.end(), handle) == handles_.end()) {
                handles_.push_back(handle);
            }
        }
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        listBytes_.resize(size);
        listMade_ = InitializeProcThreadAttributeList(list(), 1, 0, &size);
        if (!listMade_ || handles_.empty() ||
            !UpdateProcThreadAttribute(list(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                       handles_.data(), handles_.size() * sizeof(HANDLE), nullptr,
                                       nullptr)) {
            arguments.inheritHandles = false;
            return;
        }
        startup_.StartupInfo = given;
        startup_.StartupInfo.cb = sizeof startup_;
        startup_.lpAttributeList = list();
        arguments.startupInfo = &startup_.StartupInfo;
        arguments.flags |= EXTENDED_STARTUPINFO_PRESENT;
    }

private:
    LPPROC_THREAD_ATTRIBUTE_LIST list() {
        return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBytes_.data());
    }

    std::vector<HANDLE> handles_;
    std::vector<BYTE> listBytes_;
    bool listMade_ = false;
    STARTUPINFOEXW startup_{};
};

}  // namespace

// The program's own, less any theme the desktop gives: a theme may load a whole toolkit. Windows
// finds the system's fonts and the painter's libraries through it.
QProcessEnvironment painterEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
    environment.remove(QStringLiteral("QT_STYLE_OVERRIDE"));
    return environment;
}

// QProcess starts a program with every inheritable handle of this one, among them the pipes of
// any other program it runs; the painter gets its own pipes and nothing else. It confines itself
// before it reads its first request (painter_confinement_windows.cpp).
void confinePainterStart(QProcess& painter) {
    auto inheritance = std::make_shared<NamedInheritance>();
    painter.setCreateProcessArgumentsModifier(
        [inheritance](QProcess::CreateProcessArguments* arguments) {
            inheritance->apply(*arguments);
        });
}

}  // namespace zeravan::platform
