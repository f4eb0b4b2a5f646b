// zorvex: the desktop program. Its command line names a schema and a source
// file; a third word "no_gui" keeps the window hidden and needs no display.
// SIGINT and SIGTERM end the program as the end button does.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "frontend/qt/box_text.h"
#include "frontend/qt/qt_toolkit.h"
#include "frontend/zrmain.h"

namespace {

// The signal handler only writes a byte here; the window's thread reads it.
int signal_pipe[2] = {-1, -1};

void forward_signal(int) {
  char byte = 1;
  // Nothing useful can be done in a handler when the write fails.
  [[maybe_unused]] ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

bool install_signal_handlers() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return false;
  struct sigaction action = {};
  action.sa_handler = forward_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

QStringList program_arguments(int argc, char** argv) {
  QStringList arguments;
  for (int k = 1; k < argc; ++k)
    arguments << QString::fromLocal8Bit(argv[k]);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<zr::text> arguments;
  for (const QString& argument : program_arguments(argc, argv))
    arguments.push_back(zr::from_qt(argument));
  bool unattended = zr::read_command_line(arguments).unattended;
  // Unattended, the program needs no display at all.
  if (unattended && std::getenv("QT_QPA_PLATFORM") == nullptr)
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

  QApplication application(argc, argv);
  // The window's size and splitters are kept in the program's settings.
  QApplication::setOrganizationName(QStringLiteral("zorvex"));
  QApplication::setApplicationName(QStringLiteral("zorvex"));
  QApplication::setStyle(QStringLiteral("Fusion"));
  // The program ends through the end button, Esc or a signal, never because
  // its windows are all hidden.
  QApplication::setQuitOnLastWindowClosed(false);

  // QApplication has taken its own options out of argv.
  zr::qt_toolkit ui(program_arguments(argc, argv));
  ui.set_unattended(unattended);
  zr::zrmain window(ui);
  // A failure while the window was created has already ended the program.
  if (ui.ended()) return 1;
  ui.attach(&window);

  std::unique_ptr<QSocketNotifier> stop_notifier;
  if (install_signal_handlers()) {
    stop_notifier = std::make_unique<QSocketNotifier>(signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(stop_notifier.get(), &QSocketNotifier::activated, [&] {
      char bytes[16];
      [[maybe_unused]] ssize_t read = ::read(signal_pipe[0], bytes, sizeof bytes);
      if (!ui.ended()) window.clicked(zr::control::btnEnd);
    });
  }

  window.load();
  int status = QApplication::exec();
  ui.attach(nullptr);
  return status;
}
