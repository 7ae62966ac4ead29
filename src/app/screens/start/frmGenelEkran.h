#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QGridLayout;
class QLabel;

// The home page: always open behind the other screens. It greets the teacher with
// the school's name, shows the receiver's state and offers the main screens as
// large tiles (usable on a touch board), plus the first steps for a new user.
class frmGenelEkran : public QWidget {
  Q_OBJECT
 public:
  struct Tile {
    int index;  // the button-bar index the tile opens
    QString title;
    QString description;
    bool enabled = true;  // false: the user may not use that screen
  };

  explicit frmGenelEkran(QWidget* parent = nullptr);

  void setSchoolName(const QString& name);
  void setReceiverState(bool connected, const QString& detail = {});
  void setTiles(const QList<Tile>& tiles);

 signals:
  void tileClicked(int index);

 private:
  QLabel* m_school;
  QLabel* m_receiver;
  QGridLayout* m_tiles;
};
