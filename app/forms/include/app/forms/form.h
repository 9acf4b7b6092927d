// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The form run-time's top-level form: loading, unloading and the handlers it runs.
#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace zeravan::forms {

// Why a form is being unloaded.
enum class UnloadMode { UserClosed, Code, Windows };

// A top-level form: loaded with its designed values, then Form_Load; Unload runs
// Form_QueryUnload, stops the form's timers and closes it for good. A form is used once: a
// later load builds a fresh one from its designed values (see FormInstance).
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);

    void Load();  // runs Form_Load; FormInstance calls it right after construction
    void Show();  // modeless, no owner; a loaded form is neither loaded again nor reset
    void Hide();
    void Unload(UnloadMode mode = UnloadMode::Code);
    bool isLoaded() const { return loaded_; }

signals:
    void unloaded();

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(bool& cancel, UnloadMode mode) {
        Q_UNUSED(cancel);
        Q_UNUSED(mode);
    }

    // Places the form in the middle of the primary screen's work area.
    void centreOnScreen();

    // A timer of this form, running from load (when enabled) until the form is unloaded.
    QTimer* addTimer(int intervalMs, std::function<void()> onTimer);

    void closeEvent(QCloseEvent* event) override;

private:
    bool loaded_ = false;
    UnloadMode pendingMode_ = UnloadMode::UserClosed;
    QList<QTimer*> timers_;
};

}  // namespace zeravan::forms
