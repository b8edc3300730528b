// The workstation program: every role of the hall starts here; the login decides which.
#include "app/ekrany_zala.h"
#include "core/dialogs.h"
#include "core/masshtab.h"
#include "core/perevod.h"
#include "core/platform.h"
#include "core/stil.h"
#include "core/tglavforma.h"
#include "db/inifile.h"
#include "db/dnevnik.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    // A tile of a shared screen (--geometry) keeps the design's own size; a whole terminal
    // draws the design at its screen's factor.
    bool plitka = false;
    for (int i = 1; i < argc; ++i)
        plitka = plitka || QByteArray(argv[i]).startsWith("--geometry");
    masshtab::zadat(plitka ? 1.0 : masshtab::koefficient(masshtab::fizicheskiyEkran(argc, argv)));
    QApplication app(argc, argv);
    app.setFont(masshtab::shriftPoUmolchaniyu(app.font()));
    app.setStyle(new StilZala);
    QtDialogs dialogs;
    RealPlatform platform;
    dnevnik::ustanovit(settingsPathFor(platform.programPath()));
    dnevnik::start(QStringLiteral("1.1.6"));
    // After the log is set up, so a missing translation is written there.
    perevod::ustanovitQt(&app);
    TGlavForma glav(&dialogs, &platform, fabrikaZala());
    if (!glav.Zapusk()) {
        dnevnik::konec(1, QStringLiteral("start-up did not complete"));
        return 1;
    }
    glav.show();
    // The seat map is built when the window becomes active; a kiosk session without a window
    // manager never activates it on its own.
    glav.activateWindow();
    glav.raise();
    // A console back from a fault finishes the registration or vote it left running.
    QTimer::singleShot(0, &glav, [&glav] { glav.ekrany().VozobnovitProcess(); });
    const int kod = app.exec();
    dnevnik::konec(kod, QStringLiteral("event loop left"));
    return kod;
}
