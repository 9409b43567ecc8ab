// Printer setup and printing of the document. Not built yet: the handlers do nothing.
#include "shell/SDIMain.h"

void TSDIAppForm::FilePrinterSetup1Execute() {}
void TSDIAppForm::Print1Click() {}
void TSDIAppForm::FilePrint1Execute() {}
