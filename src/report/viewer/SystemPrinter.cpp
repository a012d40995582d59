#include "report/viewer/SystemPrinter.h"

#include "report/Report.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace SystemPrinter {

void install() {
    Report::setPrinterOpener([](const QString& docName,
                                const QPageLayout& layout) -> std::unique_ptr<QPagedPaintDevice> {
        // Without a printer Qt quietly makes a PDF printer with no file; ask first.
        const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
        if (defaultPrinter.isNull())
            return nullptr;
        auto printer = std::make_unique<QPrinter>(defaultPrinter, QPrinter::HighResolution);
        printer->setCopyCount(1);
        printer->setDocName(docName);
        printer->setPageLayout(layout);
        return printer;
    });
}

} // namespace SystemPrinter
