#pragma once
// The one current printer of the program: the print and printer-setup dialogs choose
// it, and printing uses it.
#include <QPrinter>

QPrinter& CurrentPrinter();
