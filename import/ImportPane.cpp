#include "import/ImportPane.h"

ImportPane::ImportPane(QWidget* toolbar) {
  cmdAbortScan = new QPushButton(toolbar);
  cmdAbortScan->setObjectName(QStringLiteral("cmdAbortScan"));
  cmdAbortScan->setText(QStringLiteral("Abort"));
  cmdAbortScan->setVisible(false);
}

// Until the import is built: shows no dialog and adds nothing.
void ImportPane::AddScannedFiles() {}
