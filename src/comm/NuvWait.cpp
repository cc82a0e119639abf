#include "NuvWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace rv8::comm {

void CancellableWait(uint32_t milliseconds, const bool* cancel)
{
    QElapsedTimer clock;
    clock.start();
    uint32_t steps = 0;
    do {
        QThread::msleep(1);
        if (++steps % 50 == 0)
            QCoreApplication::processEvents();
    } while (static_cast<uint64_t>(clock.elapsed()) < milliseconds && !(cancel && *cancel));
    QCoreApplication::processEvents();
}

}  // namespace rv8::comm
