#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtGlobal>

// A TCP port on 127.0.0.1 that takes connections and never says a word: what a
// server looks like whose machine hangs or whose network drops packets. The
// kernel completes the handshake from its backlog; nothing ever reads or answers.
class SilentListener {
 public:
  SilentListener() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;  // a free port
    socklen_t size = sizeof addr;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_fd, 16) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &size) != 0)
      qFatal("SilentListener: no local port to listen on");
    m_port = ntohs(addr.sin_port);
  }
  ~SilentListener() { ::close(m_fd); }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  int port() const { return m_port; }

 private:
  int m_fd = -1;
  int m_port = 0;
};
