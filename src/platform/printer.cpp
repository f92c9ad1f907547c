#include "platform/printer.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <optional>

#include <langinfo.h>
#include <locale.h>
#include <paper.h>

namespace brivamo {

namespace {

// The paper of the American sizes for a name of the system's; any other name is nearest to A4.
Paper paperNamed(const QByteArray &name)
{
    const QByteArray lower = name.trimmed().toLower();
    return lower == "letter" || lower == "legal" ? Paper::Letter : Paper::A4;
}

// The paper the system names, as libpaper reads it: PAPERSIZE, then the file PAPERCONF names,
// then /etc/papersize (which the installer sets from the user's country). Nothing when none does.
std::optional<Paper> systemPaper()
{
    paperinit();
    char *name = systempapername();
    paperdone();
    if (!name)
        return std::nullopt;
    const Paper paper = paperNamed(name);
    std::free(name);
    return paper;
}

// The paper of the locale's LC_PAPER (Letter is 216 mm wide), where its data is installed.
std::optional<Paper> localePaper()
{
    const locale_t locale = ::newlocale(LC_PAPER_MASK, "", locale_t(nullptr));
    if (!locale)
        return std::nullopt;
    // A number, not text: the C library hands it over in the low 32 bits of the pointer's place.
    const auto width = static_cast<std::uint32_t>(
        reinterpret_cast<std::uintptr_t>(::nl_langinfo_l(_NL_PAPER_WIDTH, locale)));
    ::freelocale(locale);
    return width == 216 ? Paper::Letter : Paper::A4;
}

} // namespace

Paper ChosenPaper(Paper paper, const QLocale &locale)
{
    if (paper != Paper::Locale)
        return paper;
    if (const std::optional<Paper> system = systemPaper())
        return *system;
    if (const std::optional<Paper> custom = localePaper())
        return *custom;
    // A locale whose data is not installed: the custom its measurement system suggests.
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? Paper::Letter : Paper::A4;
}

void Printer::print(const QString &text, bool endLine)
{
    if (!text.isEmpty()) {
        ensureDocument();
        drawText(m_x, m_y, text, m_font);
        m_x += measureWidth(text, m_font);
    }
    if (endLine) {
        m_x = 0.0;
        m_y += lineHeight(m_font);
    }
}

void Printer::outline(const PrinterOutline &shape)
{
    ensureDocument();
    drawOutline(shape);
}

double Printer::textWidth(const QString &text) const
{
    double widest = 0.0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, measureWidth(QString(line).remove(QLatin1Char('\r')), m_font));
    return widest;
}

double Printer::textHeight(const QString &text) const
{
    return lineHeight(m_font) * double(text.count(QLatin1Char('\n')) + 1);
}

void Printer::newPage()
{
    ensureDocument();
    beginNextPage();
    if (m_pageFinished)
        m_pageFinished(m_page);
    ++m_page;
    resetPosition();
}

bool Printer::endDoc()
{
    const bool sent = m_page > 0 ? finishDocument() : !failed();
    if (m_page > 0 && m_pageFinished)
        m_pageFinished(m_page);
    m_page = 0;
    resetPosition();
    return sent;
}

void Printer::killDoc()
{
    if (m_page > 0)
        abortDocument();
    m_page = 0;
    resetPosition();
}

void Printer::ensureDocument()
{
    if (m_page == 0) {
        beginDocument();
        m_page = 1;
    }
}

void Printer::resetPosition()
{
    m_x = 0.0;
    m_y = 0.0;
}

} // namespace brivamo
