#pragma once

#include <QHash>
#include <QImage>
#include <QMap>
#include <QWidget>

#include <memory>

#include "Result.h"
#include "board/BoardSettings.h"
#include "delivery/FreeQuestionClips.h"
#include "delivery/RunSession.h"
#include "framework/SanalKumandaHost.h"
#include "framework/ScreenContext.h"
#include "screens/delivery/ScreenSaverInhibitor.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QuestionMediaPlayer;
class QuestionPicture;
class RunTilesView;
class frmSerbestTamEkran;

// The full-screen presentation of a run: it paints what its RunSession says
// (page, question picture, countdown, tiles, counters, the buttons available
// now) and turns clicks and keys into the session's commands. Presses reach the
// session through the main window's routing while this window is active (the
// opener attaches it, see deliveryui::openPresentation). Closing the window asks
// first, like the exit button; when the run is over the window closes itself and
// says finished().
class frmOnizleme : public QWidget, public SanalKumandaHost {
  Q_OBJECT
 public:
  using Command = delivery::RunSession::Command;

  frmOnizleme(const ScreenContext& context, const receiver::Clock& clock,
              QWidget* parent = nullptr);
  ~frmOnizleme() override;

  // Opens the run (the first page shows at once) and holds the screen saver off.
  Status Ayarla(const delivery::RunPlan& plan);
  // Opens a free run instead (test number "SERBEST"): each question is asked
  // over whatever the board shows, in the frame coloured by the vote; a
  // `questionLimit` > 0 ends it after that question (the homework check).
  Status SerbestAyarla(const delivery::RunPlan& plan, int questionLimit = 0);
  // A free run's control bar (null otherwise): a window of its own, shown by
  // the opener over whatever the board shows; it goes with this window.
  frmSerbestTamEkran* controlBar() const { return m_controlBar; }

  // ---- clipping the free questions ("Testteki Soruları Kırp ve Kaydet")
  // The control bar offers "Soruyu Kırp": the presentation and the bar step
  // aside, the board is captured, and the part the teacher frames is kept as the
  // question's picture when the question is left (delivery::FreeQuestionClips).
  void setClipping(bool on);
  bool clipping() const { return m_clipping; }
  void clipQuestion();
  delivery::FreeQuestionClips* clips() const { return m_clips.get(); }
  // Tests give the capture instead of the screen.
  void setGrabber(std::function<QImage()> grabber) { m_grabber = std::move(grabber); }

  // ---- a lesson run (test number "DERS", DersGoster)
  // The report after each question; saved per user ("Onizleme" / "DersRaporGoster").
  QComboBox* cmbDersRaporGoster() const { return m_cmbDersRaporGoster; }
  // Keep what each question showed ("Onizleme" / "SoruIcerigi"): clipping on.
  QCheckBox* chkSoruIcerigi() const { return m_chkSoruIcerigi; }

  delivery::RunSession& session() { return m_session; }
  // What the press pipeline hands the presses to while this window (or one it
  // opened) is active: the run.
  activity::PressConsumer& presses();
  // The button of a command (also the exit confirmation's two).
  QPushButton* cmdNav(Command command) const { return m_buttons.value(command); }
  QLabel* label(const QString& objectName) const;
  bool screenSaverHeld() const { return m_inhibitor.active(); }

  // Mid-run report after a question (when nobody else shows it): its panel is
  // on the screen until "Teste Devam Et".
  QPushButton* cmdTesteDevam() const { return m_cmdTesteDevam; }

  // SanalKumandaHost
  QStringList remoteAddresses() const override;
  QStringList questionTitles() const override;
  int currentQuestion() const override;

  // Shows the after-question report of others instead of the inline panel; the
  // handler returns false when it did not take it. It calls
  // session().reportClosed() when the teacher goes on.
  using ReportHandler = std::function<bool(
      frmOnizleme& window, delivery::RunSettings::QuestionReport report, int position)>;
  void setReportHandler(ReportHandler handler) { m_reportHandler = std::move(handler); }

 signals:
  // The run is over and the window closes: its key (empty start when no
  // question was ever shown).
  void finished(const reports::RunKey& key);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void build();
  // On a board: the commands' column to the teacher's side of the pages.
  void placeCommands(board::CommandSide side);
  // What both openings share once the session is open.
  Status opened(const delivery::RunPlan& plan);
  QPushButton* addButton(Command command, const QString& name, QWidget* parent);
  void refresh();
  void refreshQuestion();
  void refreshButtons();
  void refreshCounts();
  void refreshVoting();
  void showPicture();
  void reportRequested(delivery::RunSettings::QuestionReport report, int position);
  void DersGoster();
  void clipCaptured();
  void finish();
  void applyScale();
  QImage picture(const QString& soruNo, bool solution);

  ScreenContext m_context;
  delivery::RunSession m_session;
  ScreenSaverInhibitor m_inhibitor;
  ReportHandler m_reportHandler;
  frmSerbestTamEkran* m_controlBar = nullptr;
  std::unique_ptr<delivery::FreeQuestionClips> m_clips;
  bool m_clipping = false;
  std::function<QImage()> m_grabber;
  QWidget* m_lessonRow = nullptr;
  QComboBox* m_cmbDersRaporGoster = nullptr;
  QCheckBox* m_chkSoruIcerigi = nullptr;
  bool m_done = false;
  bool m_opened = false;
  QHash<QString, QImage> m_pictures;

  QMap<Command, QPushButton*> m_buttons;
  QStackedWidget* m_pages = nullptr;
  QStackedWidget* m_answerArea = nullptr;
  QStackedWidget* m_questionArea = nullptr;  // the picture, a video playing, or the vote
  QFrame* m_frameZemin = nullptr;            // the question's frame: red / green in a free run
  QLabel* m_lblOylama = nullptr;             // a free question's "SORU İÇİN / HAZIRLANINIZ"
  QWidget* m_videoHolder = nullptr;
  QuestionMediaPlayer* m_media = nullptr;
  QuestionPicture* m_startPicture = nullptr;
  QuestionPicture* m_questionPicture = nullptr;
  RunTilesView* m_tiles = nullptr;
  RunTilesView* m_testTiles = nullptr;
  QTableWidget* m_statistics = nullptr;
  QLabel* m_tabloCevapVeren = nullptr;  // frameTablo: the counters, large
  QLabel* m_tabloBos = nullptr;
  QLabel* m_tabloCevapVermeyen = nullptr;
  QTableWidget* m_final = nullptr;
  QChartView* m_finalChart = nullptr;  // the run's right, wrong and blank beside the table
  QLabel* m_lblTestAdi = nullptr;
  QLabel* m_lblSayac = nullptr;
  QLabel* m_lblSoruNo = nullptr;
  QLabel* m_lblSureGorunen = nullptr;
  QProgressBar* m_progress = nullptr;
  QLabel* m_lblCevap = nullptr;
  QLabel* m_lblTestDurum = nullptr;
  QLabel* m_lblCevapVeren = nullptr;
  QLabel* m_lblBos = nullptr;
  QLabel* m_lblCevapVermeyen = nullptr;
  QLabel* m_lblSayacBuyuk = nullptr;  // frmSayac: "TEST BAŞLIYOR" 3-2-1
  QLabel* m_lblNotice = nullptr;
  QLabel* m_lblRemoteTestHelp = nullptr;
  QLabel* m_lblVirtual = nullptr;
  QLabel* m_lblReport = nullptr;
  QPushButton* m_cmdTesteDevam = nullptr;
  QFrame* m_confirm = nullptr;
  QLabel* m_lblConfirm = nullptr;
  QWidget* m_counters = nullptr;
  QWidget* m_commands = nullptr;
  QHBoxLayout* m_middle = nullptr;
};
