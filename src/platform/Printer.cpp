#include "platform/Printer.h"

QPrinter& CurrentPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}
