#pragma once

#include <QProcess>
#include <QString>

// Two linked pseudo-terminals made by socat ("socat -d -d pty,raw,echo=0 pty,raw,echo=0"):
// bytes written to one end come out of the other. start() launches socat and reads the two
// device paths from its log; the destructor (or stop()) ends it.
class SocatPtyPair
{
public:
    SocatPtyPair() = default;
    ~SocatPtyPair();
    SocatPtyPair(const SocatPtyPair &) = delete;
    SocatPtyPair &operator=(const SocatPtyPair &) = delete;

    // True once both ends exist and socat is transferring data.
    bool start();
    void stop();

    QString first() const { return m_first; }
    QString second() const { return m_second; }

private:
    QProcess m_process;
    QString m_first;
    QString m_second;
};
