#pragma once

#include "base/form.h"

class QCheckBox;
class QLabel;

namespace brivamo {

class OstrelButton;

// The notice for new users, shown modally after the title window until the user ticks
// "Don't show this notice again": a greeting and the overview help text.
class frmNewUser : public Form
{
    Q_OBJECT
public:
    frmNewUser();
    ~frmNewUser() override;

    // Controls.
    QLabel *lbl = nullptr;
    QWidget *Shape1 = nullptr;
    QCheckBox *check = nullptr;
    OstrelButton *cmdContinue = nullptr;

    // Event handlers.
    void cmdContinue_Click();

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    void createControls();

    bool m_continuing = false;
};

} // namespace brivamo
