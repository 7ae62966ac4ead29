#include "cards/CardReader.h"

#include <apriltag/apriltag.h>
#include <apriltag/tag36h11.h>

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace cards {

struct CardReader::Detector {
  apriltag_family_t* family = nullptr;
  apriltag_detector_t* detector = nullptr;
  ~Detector() {
    if (detector) apriltag_detector_destroy(detector);
    if (family) tag36h11_destroy(family);
  }
};

CardReader::CardReader(float decimate, int threads) : m_d(std::make_unique<Detector>()) {
  m_d->family = tag36h11_create();
  m_d->detector = apriltag_detector_create();
  // Two corrected bits still leave tag36h11 nine bits from any other card; a
  // card that needs more is not read rather than read as another.
  apriltag_detector_add_family_bits(m_d->detector, m_d->family, 2);
  m_d->detector->quad_decimate = decimate;
  m_d->detector->nthreads = std::max(1, threads);
  m_d->detector->refine_edges = true;
}

CardReader::~CardReader() = default;

QChar CardReader::letterFor(double turnDegrees) {
  double t = std::fmod(turnDegrees, 360.0);
  if (t < 0) t += 360.0;
  const int quarter = int(std::lround(t / 90.0)) % 4;
  double off = std::fabs(t - 90.0 * std::lround(t / 90.0));
  if (off > 45.0 - kDeadZone) return {};
  return QChar(char16_t(u'A' + quarter));
}

namespace {

// Where the homography puts a point of the ideal tag (corners at ±1).
QPointF project(const matd_t* h, double x, double y) {
  const double* m = h->data;
  const double w = m[6] * x + m[7] * y + m[8];
  return {(m[0] * x + m[1] * y + m[2]) / w, (m[3] * x + m[4] * y + m[5]) / w};
}

}  // namespace

QList<Sighting> CardReader::read(const QImage& picture) {
  // The detector reads past the end of a picture only a few pixels wide or high
  // (and no card fits in one).
  if (picture.width() < kSmallestPicture || picture.height() < kSmallestPicture) return {};
  const QImage gray = picture.format() == QImage::Format_Grayscale8
                          ? picture
                          : picture.convertToFormat(QImage::Format_Grayscale8);
  image_u8_t im{gray.width(), gray.height(), int(gray.bytesPerLine()),
                const_cast<uint8_t*>(gray.constBits())};
  zarray_t* found = apriltag_detector_detect(m_d->detector, &im);

  QList<Sighting> out;
  QList<int> doubtful;  // a card seen twice with different letters: neither counts
  for (int i = 0; i < zarray_size(found); ++i) {
    apriltag_detection_t* det = nullptr;
    zarray_get(found, i, &det);
    Sighting s;
    s.card = det->id;
    s.margin = det->decision_margin;
    // The ideal tag's y grows downwards in the upright tag: its top edge is y=-1.
    const QPointF centre = project(det->H, 0, 0);
    const QPointF top = project(det->H, 0, -1);
    const QPointF up = top - centre;
    // Clockwise on the screen (y down) from straight up.
    s.turn = qRadiansToDegrees(std::atan2(up.x(), -up.y()));
    s.letter = letterFor(s.turn);
    s.corners << project(det->H, -1, -1) << project(det->H, 1, -1) << project(det->H, 1, 1)
              << project(det->H, -1, 1);
    auto same =
        std::find_if(out.begin(), out.end(), [&](const Sighting& o) { return o.card == s.card; });
    if (same == out.end()) {
      out.append(s);
    } else if (same->letter != s.letter) {
      doubtful.append(s.card);
    } else if (s.margin > same->margin) {
      *same = s;
    }
  }
  apriltag_detections_destroy(found);
  out.removeIf([&](const Sighting& s) { return doubtful.contains(s.card); });
  std::sort(out.begin(), out.end(),
            [](const Sighting& a, const Sighting& b) { return a.card < b.card; });
  return out;
}

}  // namespace cards
