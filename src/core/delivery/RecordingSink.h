#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "Result.h"
#include "delivery/Recording.h"

namespace delivery {

// Where a run's recording goes. A board on its data folder writes straight into
// its database (DirectRecording); a board on the school's server writes into its
// journal and a sender takes it to the server (JournalSender), so that leaving a
// question never waits for the network. The session sees only this.
class RecordingSink {
 public:
  virtual ~RecordingSink() = default;

  virtual Status CevaplariVeritabaninaYaz(const RunRecord& run, int position, const QString& soruNo,
                                          const QList<TileAnswer>& answers) = 0;
  virtual Status RaporIcinHazirla(const RunRecord& run, int position = 0) = 0;
  virtual Result<QList<TileAnswer>> CevaplariAl(const reports::RunKey& run, int position) = 0;
  virtual Result<QList<int>> storedPositions(const reports::RunKey& run) = 0;
  virtual Result<QString> freeStartTime(const QString& date, const QTime& wanted) = 0;
  // `keys`: the key of each question by position (from 1) as the run knows it,
  // for a sink that has to count without the database.
  virtual Result<RunStatistics> statistics(const reports::RunKey& run, const QStringList& keys) = 0;
  // True when the writes join a transaction open on the store (a free question's
  // clipped picture is kept whole with its first answers).
  virtual bool joinsStoreTransaction() const = 0;
};

class DirectRecording final : public RecordingSink {
 public:
  explicit DirectRecording(Recording& recording) : m_recording(recording) {}

  Status CevaplariVeritabaninaYaz(const RunRecord& run, int position, const QString& soruNo,
                                  const QList<TileAnswer>& answers) override {
    return m_recording.CevaplariVeritabaninaYaz(run, position, soruNo, answers);
  }
  Status RaporIcinHazirla(const RunRecord& run, int position) override {
    return m_recording.RaporIcinHazirla(run, position);
  }
  Result<QList<TileAnswer>> CevaplariAl(const reports::RunKey& run, int position) override {
    return m_recording.CevaplariAl(run, position);
  }
  Result<QList<int>> storedPositions(const reports::RunKey& run) override {
    return m_recording.storedPositions(run);
  }
  Result<QString> freeStartTime(const QString& date, const QTime& wanted) override {
    return m_recording.freeStartTime(date, wanted);
  }
  Result<RunStatistics> statistics(const reports::RunKey& run, const QStringList&) override {
    return m_recording.statistics(run);
  }
  bool joinsStoreTransaction() const override { return true; }

 private:
  Recording& m_recording;
};

}  // namespace delivery
