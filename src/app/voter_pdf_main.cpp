// The document checker: opens a PDF file and renders every page once, in a process of its
// own, so that a file which hangs or exhausts the PDF library takes only this process with it.
// The terminal runs it with a time limit and an address-space cap and opens the file itself
// only after this program said "ok".
//
//   voter-pdf FILE [WIDTH]
//
// Prints "ok PAGES" and exits 0 when every page rendered at WIDTH pixels (default 1000);
// prints "error REASON" and exits 2 otherwise.
#include <QCoreApplication>
#include <QImage>
#include <QPdfDocument>
#include <QTextStream>

#include <cstdio>

namespace {

// Pages taller than this many pixels at the check's width are rendered at this height: the
// check looks for hangs and floods in the document, not for the memory of one huge bitmap.
constexpr int NaibolshayaVysota = 8000;

int otkaz(const char *prichina)
{
    std::printf("error %s\n", prichina);
    std::fflush(stdout);
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return otkaz("usage");
    int shirina = args.size() > 2 ? args.at(2).toInt() : 1000;
    if (shirina < 16 || shirina > 4000)
        shirina = 1000;

    QPdfDocument dokument;
    if (dokument.load(args.at(1)) != QPdfDocument::Error::None)
        return otkaz("load");
    const int stranic = dokument.pageCount();
    if (stranic <= 0)
        return otkaz("no-pages");
    for (int i = 0; i < stranic; ++i) {
        const QSizeF razmer = dokument.pagePointSize(i);
        if (!(razmer.width() > 0) || !(razmer.height() > 0))
            return otkaz("page-size");
        const int vysota = qBound(1, qRound(shirina * razmer.height() / razmer.width()), NaibolshayaVysota);
        if (dokument.render(i, QSize(shirina, vysota)).isNull())
            return otkaz("render");
    }
    std::printf("ok %d\n", stranic);
    std::fflush(stdout);
    return 0;
}
