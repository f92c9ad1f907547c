#include "shell/bas_brivamo.h"

#include <QApplication>
#include <QLabel>

namespace basBrivamo {

int Main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Brivamo"));
    placeholder.setWindowTitle(QStringLiteral("Brivamo"));
    placeholder.resize(400, 200);
    placeholder.show();
    return app.exec();
}

} // namespace basBrivamo
