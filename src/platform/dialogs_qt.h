#pragma once

#include "platform/dialogs.h"

namespace brivamo {

// The real message and input boxes: QMessageBox and QInputDialog, modal to the active window.
class QtDialogs : public Dialogs
{
protected:
    MsgAnswer showMessage(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                          int defaultButton) override;
    QString askText(const QString &prompt, const QString &caption, const QString &defaultText) override;
};

} // namespace brivamo
