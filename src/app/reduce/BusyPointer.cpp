#include "app/reduce/BusyPointer.h"

#include <QApplication>

namespace kanvo {

BusyPointer::BusyPointer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer()
{
    QApplication::restoreOverrideCursor();
}

} // namespace kanvo
