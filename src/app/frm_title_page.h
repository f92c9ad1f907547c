#pragma once

#include "base/form.h"

#include <array>

class QLabel;

namespace brivamo {

class OstrelButton;

// The first window of every run: the program's description, version and legal notice, the
// maker's contact details with two links, nine small animations, and Continue, which leads on to
// the new-user notice and the lobby.
//
// The window has a thin border but no caption bar, like a splash screen; its controls sit in a
// client area inside that border.
class frmTitlePage : public Form
{
    Q_OBJECT
public:
    frmTitlePage();
    ~frmTitlePage() override;

    QWidget *client() const { return m_client; }

    // Controls. lblOstrelContact and AniGif are control arrays: contacts 1 and 2, pictures 0 to 8.
    QLabel *lblAppDescription = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblOstrelSoftware = nullptr;
    QLabel *lblOstrelAddress = nullptr;
    QLabel *lblOstrelContact(int index) const;
    QLabel *AniGif(int index) const;
    OstrelButton *cmdContinue = nullptr;

    static constexpr int ContactEmail = 1;
    static constexpr int ContactWebPage = 2;
    static constexpr int AniGifCount = 9;

    // Event handlers.
    void lblOstrelContact_Click(int index);
    void cmdContinue_Click();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void FadeCompleted() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
    // Unloads this window and shows the lobby.
    void handOverToLobby();

    QWidget *m_client = nullptr;
    std::array<QLabel *, 3> m_contacts{}; // indexes 1 and 2
    std::array<QLabel *, AniGifCount> m_aniGifs{};
    bool m_continuing = false;
};

} // namespace brivamo
