#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

// Window effects the lobby uses: fading, tiled backgrounds and links.
namespace brivamo::lobbyfx {

// Whether windows fade in this run (the lobby sets it at load and toggles it).
extern bool FadeActive;

// Makes `window` capable of opacity and gives it `alpha`; true when fading can and should be used.
// Without `force` the "FadeStatus" setting must be on as well.
bool PrepareFade(QWidget *window, quint8 alpha, bool force);

// Paints `picture` repeatedly over the whole of `surface`, behind its controls.
void TileBackground(const QString &picture, QWidget *surface);

// Opens an e-mail message (kind 1) or a web page (kind 2); reports a failure in a message box.
void OpenLink(int kind, QWidget *owner, const QString &target);

} // namespace brivamo::lobbyfx
