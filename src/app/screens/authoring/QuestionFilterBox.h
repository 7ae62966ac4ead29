#pragma once

#include <QGroupBox>

#include "Result.h"
#include "authoring/QuestionSearch.h"
#include "framework/ScreenContext.h"

class CurriculumFilters;
class QComboBox;
class QLineEdit;

// The criteria of a question search as lists and boxes ("TÜMÜ" = no
// restriction): the test screen's question picker and its automatic selection.
// `suffix` ends every control's name ("AraSoru" gives cmbSeviyeAraSoru).
class QuestionFilterBox : public QGroupBox {
  Q_OBJECT
 public:
  struct Parts {
    bool correctChoice = true;  // cmbDogruSik...
    bool points = false;        // cmbPuan...
    bool testNo = true;         // txtTestNo...
    bool lastAdded = true;      // txtSonEklenen
  };

  QuestionFilterBox(const ScreenContext& context, const QString& title, const QString& suffix,
                    const Parts& parts, QWidget* parent = nullptr);

  // Writes the criteria into `search` (its other members stay); a wrong count in
  // the last-added box is refused with its message.
  Status fill(authoring::QuestionSearch& search) const;
  // One line naming the criteria that restrict something ("Seviye: 5, Zorluk: Zor").
  QString summary() const;

 signals:
  void searchRequested();

 private:
  QComboBox* add(const QString& name, const QString& caption, const QStringList& entries);
  QLineEdit* addText(const QString& name, const QString& caption);

  const ScreenContext m_context;
  QList<QPair<QString, QWidget*>> m_rows;  // caption, control
  CurriculumFilters* m_curriculum = nullptr;
  QComboBox* m_dogruSik = nullptr;
  QComboBox* m_turu = nullptr;
  QComboBox* m_zorluk = nullptr;
  QComboBox* m_puan = nullptr;
  QComboBox* m_usage = nullptr;
  QLineEdit* m_text = nullptr;
  QLineEdit* m_testNo = nullptr;
  QLineEdit* m_lastAdded = nullptr;
};
