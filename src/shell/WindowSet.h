#pragma once
// The program's five windows, created in a fixed order, main window first and the
// foreign-language search dialog last; they live for the whole run.
class TApplication;

void CreateWindowSet(TApplication& application);
