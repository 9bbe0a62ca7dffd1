#include "platform/port_map.h"

namespace port_map {

namespace {
struct Range {
    int firstPort;
    int lastPort;
    const char *devicePrefix;
};
constexpr Range kTable[] = {
    {1, 8, "/dev/ttyUSB"},
    {9, 12, "/dev/ttyACM"},
    {13, 16, "/dev/ttyS"},
};
constexpr char kPortDirVariable[] = "HARLUNE_PORT_DIR";

QString &commandLinePortDir()
{
    static QString dir;
    return dir;
}
}  // namespace

void setPortDir(const QString &dir) { commandLinePortDir() = dir; }

QString deviceFor(int port)
{
    if (port < 1)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    QString dir = commandLinePortDir();
    if (dir.isEmpty())
        dir = QString::fromLocal8Bit(qgetenv(kPortDirVariable));
    // Plain joining: the search asks for a device fifty times a second.
    if (!dir.isEmpty())
        return dir + (dir.endsWith(QLatin1Char('/')) ? QLatin1String("COM") : QLatin1String("/COM"))
               + QString::number(port);
    for (const Range &r : kTable) {
        if (port >= r.firstPort && port <= r.lastPort)
            return QString::fromLatin1(r.devicePrefix) + QString::number(port - r.firstPort);
    }
    return {};
#endif
}

}  // namespace port_map
