// The Qt tests need one application object for the whole run; without a
// display they use Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The offscreen platform says at every raise that it cannot raise a window;
// the tests do not need to hear it.
QtMessageHandler standard_handler = nullptr;

void quiet_platform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  if (standard_handler != nullptr) standard_handler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The tests' window settings go to a folder of their own, never the user's.
  std::string settings =
      (std::filesystem::temp_directory_path() / "zorvex-settings-XXXXXX").string();
  if (::mkdtemp(settings.data()) == nullptr) return 2;
  ::setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
  standard_handler = qInstallMessageHandler(quiet_platform);
  QApplication application(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setOrganizationName(QStringLiteral("zorvex-tests"));
  QApplication::setApplicationName(QStringLiteral("zorvex-tests"));
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(settings, ignored);
  return status;
}
