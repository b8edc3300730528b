#pragma once

#include <QObject>
#include <QString>

class QProcess;
class QTimer;

// One check of a document file by the checker program (voter-pdf beside the program): the
// file is opened and every page rendered in that process, under a time limit and a cap on
// its address space, and the process is killed when the time runs out. Nothing here blocks:
// the result comes as gotovo() from the event loop.
class TPdfProverka : public QObject {
    Q_OBJECT
public:
    enum class Itog {
        Goden,         // every page rendered
        Otkazan,       // the library could not open or render it
        Vremya,        // killed after the time limit
        Sboi,          // the checker ended abnormally (the memory cap is the usual cause)
        NetProgrammy,  // the checker could not be started
    };
    Q_ENUM(Itog)

    // Limits of every check. The time covers start-up, loading and rendering.
    static constexpr int LimitVremeniMs = 10000;
    static constexpr qint64 LimitPamyati = 512ll * 1024 * 1024;

    explicit TPdfProverka(QObject *parent = nullptr);
    ~TPdfProverka() override;

    // Starts checking the file with pages rendered `shirina` pixels wide.
    void nachat(const QString &put, int shirina);
    // Kills a running check; gotovo() is not sent for it.
    void otmenit();

    bool idet() const;
    // Process id of the running checker (0 when none), for watching it from outside.
    qint64 pid() const;
    // Pages of a good file.
    int stranic() const { return m_stranic; }

    // The checker program: "voter-pdf" in the program's folder unless set.
    static QString programma();
    static void setProgramma(const QString &put);
    // Limits for the checks started afterwards (tests and trials); <= 0 restores the default.
    static void setLimity(int vremyaMs, qint64 pamyat);

Q_SIGNALS:
    void gotovo(TPdfProverka::Itog itog);

private:
    void zavershen(int kod, bool normalno);

    QProcess *m_process = nullptr;
    QTimer *m_taimer;
    bool m_vremyaVyshlo = false;
    int m_stranic = 0;
};
