// Runs a built GUI program as a process on Qt's VNC platform and plays the
// operator at a VNC viewer: it presses Escape until the program ends, which
// answers (or dismisses) whatever modal box the program shows first. So a
// process test sees the program's real exit code without any test hook in
// the program, and never waits on a box for ever.
#ifndef VNC_OPERATOR_H
#define VNC_OPERATOR_H

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace vnc {

const uint32_t keyEscape = 0xff1b; // X keysym, as RFB sends keys

// The keyboard of a VNC viewer (RFB 3.3, no authentication, which is what
// Qt's VNC platform offers).
class Keyboard
{
public:
    ~Keyboard() { disconnect(); }

    bool connected() const { return fd >= 0; }

    // Connects and completes the handshake; false while the server is not up yet.
    bool connectTo(quint16 port)
    {
        fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        char version[12];
        uint32_t security = 0;
        const char shared = 1;
        unsigned char serverInit[24];
        bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
                  && receive(version, sizeof version) && std::memcmp(version, "RFB 003.", 8) == 0
                  && send("RFB 003.003\n", 12) && receive(&security, 4) && ntohl(security) == 1
                  && send(&shared, 1) && receive(serverInit, sizeof serverInit);
        if (ok) { // the desktop name closes the server's greeting
            uint32_t nameLength = 0;
            std::memcpy(&nameLength, serverInit + 20, 4);
            char name[256];
            nameLength = ntohl(nameLength);
            ok = nameLength <= sizeof name && receive(name, nameLength);
        }
        if (!ok)
            disconnect();
        return ok;
    }

    // A key press and release; false once the program has gone.
    bool press(uint32_t keysym)
    {
        for (unsigned char down : {1, 0}) {
            unsigned char event[8] = {4, down, 0, 0};
            const uint32_t key = htonl(keysym);
            std::memcpy(event + 4, &key, 4);
            if (!send(event, sizeof event)) {
                disconnect();
                return false;
            }
        }
        return true;
    }

private:
    void disconnect()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    bool send(const void *data, size_t size)
    {
        return ::send(fd, data, size, MSG_NOSIGNAL) == ssize_t(size);
    }

    // Waits at most five seconds for the bytes.
    bool receive(void *data, size_t size)
    {
        char *bytes = static_cast<char *>(data);
        while (size > 0) {
            pollfd ready{fd, POLLIN, 0};
            if (poll(&ready, 1, 5000) != 1)
                return false;
            const ssize_t got = ::recv(fd, bytes, size, 0);
            if (got <= 0)
                return false;
            bytes += got;
            size -= size_t(got);
        }
        return true;
    }

    int fd = -1;
};

// A TCP port nobody listens on right now.
inline quint16 freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

struct Run
{
    bool finished = false; // ended by itself within the time
    int exitCode = -1;
    QByteArray out, err;
};

// Runs program with arguments on the VNC platform and presses Escape every
// 200 ms for at most milliseconds. A program still running then is killed
// and reported as not finished.
inline Run runPressingEscape(const QString &program, const QStringList &arguments, int milliseconds,
                             const QString &workingDirectory = QString())
{
    const quint16 port = freePort();
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("vnc:port=%1").arg(port));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run run;
    if (port == 0 || !process.waitForStarted(10000))
        return run;
    Keyboard keyboard;
    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(200) && clock.elapsed() < milliseconds) {
        if (keyboard.connected() || keyboard.connectTo(port))
            keyboard.press(keyEscape);
    }
    run.finished = process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace vnc

#endif
