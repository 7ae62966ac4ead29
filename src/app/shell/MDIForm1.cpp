#include "shell/MDIForm1.h"

#include <QMdiArea>

MDIForm1::MDIForm1(QWidget* parent) : QMainWindow(parent), m_mdi(new QMdiArea(this)) {
  setObjectName(QStringLiteral("MDIForm1"));
  setCentralWidget(m_mdi);
}

MDIForm1::~MDIForm1() = default;
