#pragma once

#include <QString>

// Holds the desktop's screen saver and display blanking off while a run is on
// (org.freedesktop.ScreenSaver over the session bus). Where the service or the
// bus is missing nothing happens and nothing is said: a presentation never
// fails for want of it. Released on release() or with the object.
class ScreenSaverInhibitor {
 public:
  ScreenSaverInhibitor() = default;
  ~ScreenSaverInhibitor() { release(); }
  ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
  ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

  // True when the desktop took the request.
  bool inhibit(const QString& reason);
  void release();
  bool active() const { return m_cookie != 0; }

 private:
  quint32 m_cookie = 0;
};
