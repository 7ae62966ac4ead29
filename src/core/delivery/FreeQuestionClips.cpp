#include "delivery/FreeQuestionClips.h"

#include "authoring/ClipSession.h"
#include "authoring/Question.h"
#include "authoring/QuestionBank.h"
#include "delivery/RunSession.h"

namespace delivery {

void FreeQuestionClips::attach(RunSession& run) {
  run.setFreeQuestionKey([this, &run](int position) { return keep(run, position); });
}

void FreeQuestionClips::set(int position, const QImage& clip) {
  if (position < 1 || clip.isNull()) return;
  m_clips.insert(position, clip);
}

Result<QString> FreeQuestionClips::keep(const RunSession& run, int position) {
  const auto clip = m_clips.constFind(position);
  if (clip == m_clips.constEnd()) return QString();
  const RunDescription& d = run.plan().description;
  authoring::Question q;
  q.seviye = d.level;
  q.ders = d.course;
  q.unite = d.unit;
  q.konu = d.topic;
  q.kazanim = d.outcome;
  q.sure = authoring::texts::kSuresiz;
  Result<QString> key = authoring::QuestionBank(m_store).add(
      q, {authoring::clipBytes(clip.value()), {}}, {}, authoring::QuestionBank::KeyKind::Free);
  if (!key)
    return Result<QString>::failure(
        QStringLiteral("Sorunun resmi kaydedilemedi (%1)").arg(key.error()));
  // The clip stays: when the answers cannot be stored the whole question rolls
  // back, and the next try keeps it again.
  return key;
}

}  // namespace delivery
