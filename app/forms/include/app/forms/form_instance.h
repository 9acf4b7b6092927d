// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// A form's one global instance, which loads the form again after an unload.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "app/forms/form.h"

namespace zeravan::forms {

// The one global instance of a form: created on first reference, it outlives the form's unload;
// a later reference or Show loads the form again from its designed values.
template <class F>
class FormInstance {
public:
    using Factory = std::function<std::unique_ptr<F>()>;

    explicit FormInstance(Factory factory) : factory_(std::move(factory)) {}
    FormInstance(const FormInstance&) = delete;
    FormInstance& operator=(const FormInstance&) = delete;
    ~FormInstance() { delete form_.data(); }

    // A reference to the form loads it if it is not loaded.
    F& operator*() { return get(); }
    F* operator->() { return &get(); }
    F& get() {
        if (!isLoaded()) load();
        return *form_;
    }

    void Show() { get().Show(); }
    bool isLoaded() const { return form_ && form_->isLoaded(); }

private:
    void load() {
        // An unloaded form deletes itself once its close has been handled.
        form_ = factory_().release();
        form_->Load();
    }

    Factory factory_;
    QPointer<F> form_;
};

}  // namespace zeravan::forms
