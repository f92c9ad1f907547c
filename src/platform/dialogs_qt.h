#pragma once

#include "platform/dialogs.h"

namespace brivamo {

// The real message, input and file boxes: QMessageBox, QInputDialog and QFileDialog, modal to the
// active window.
class QtDialogs : public Dialogs
{
protected:
    MsgAnswer showMessage(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                          int defaultButton) override;
    MsgAnswer showMessageWithCheckBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                                      const QString &caption, int defaultButton,
                                      MsgCheckBox &checkBox) override;
    QString askText(const QString &prompt, const QString &caption, const QString &defaultText) override;
    QString askSaveFileName(const QString &caption, const QString &suggestedPath,
                            const QString &filter) override;
};

} // namespace brivamo
