#pragma once
// UserPrompts with real message boxes, for the windows. Each prompt is a modal QMessageBox over
// `parent` with the kind's icon and the prompt's buttons; Esc and closing the box give
// DismissAnswer(buttons).

#include "comm/UserPrompts.h"

#include <QPointer>
#include <QWidget>

namespace rv8::app {

class WidgetPrompts final : public comm::UserPrompts {
public:
    explicit WidgetPrompts(QWidget* parent = nullptr) : m_parent(parent) {}

    comm::PromptAnswer ask(const comm::Prompt& prompt) override;

    // The caption used when a prompt has no title: "Information", "Warning", "Error", "Confirm".
    static QString DefaultTitle(comm::PromptKind kind);

private:
    QPointer<QWidget> m_parent;
};

}  // namespace rv8::app
