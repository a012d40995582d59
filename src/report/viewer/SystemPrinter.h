#pragma once

// The system's printers, which the report engine reaches only through this: Qt
// Print Support brings the widgets with it.
namespace SystemPrinter {

// Gives the report engine the default printer (QPrinterInfo::defaultPrinter): the
// program installs it once at start-up.
void install();

} // namespace SystemPrinter
