#pragma once

#include <QList>
#include <QStringList>

#include "app/platform/MessageBoxes.h"

namespace kanvo {

// Records every message box instead of showing it, so widget tests never block on one.
class RecordingMessageBoxes : public MessageBoxes {
public:
    void information(QWidget*, const QString& title, const QString& text) override
    {
        record(title, text, false);
    }
    void error(QWidget*, const QString& title, const QString& text) override
    {
        record(title, text, true);
    }

    QStringList titles;
    QStringList texts;
    QList<bool> errorIcon;

private:
    void record(const QString& title, const QString& text, bool withErrorIcon)
    {
        titles << title;
        texts << text;
        errorIcon << withErrorIcon;
    }
};

} // namespace kanvo
