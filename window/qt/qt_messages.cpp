#include "qt_messages.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <cstdio>

namespace tempulix {
namespace {

struct Noise {
  std::string_view category;
  std::string_view beginning;
};

// Each with why it is no fault of the program's and nothing its user can change.
constexpr std::array<Noise, 3> noise = {{
    // Orca asks to hear of event kinds Qt does not send; Qt says so on each subscription.
    {"qt.accessibility.atspi", "Subscription string not handled"},
    // AT-SPI 2.62 asks the application for a bus of its own, which Qt 6.11 does not offer; the
    // screen reader then uses the accessibility bus, as before.
    {"qt.accessibility.atspi", "AtSpiAdaptor::applicationInterface does not implement"},
    // A screen reader is shown each key before the program, and on a busy machine answers
    // after Qt stopped waiting; the key goes to the program all the same.
    {"default", "QSpiApplication::keyEventError"},
}};

QtMessageHandler previous = nullptr;

void filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const std::string_view category = context.category ? context.category : "default";
  const QByteArray text = message.toUtf8();
  if (type != QtFatalMsg &&
      isOtherProgramsNoise(category, std::string_view(text.constData(), text.size()))) {
    return;
  }
  if (previous) {
    previous(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

}  // namespace

bool isOtherProgramsNoise(std::string_view category, std::string_view message) {
  for (const Noise& n : noise) {
    if (category == n.category && message.substr(0, n.beginning.size()) == n.beginning) {
      return true;
    }
  }
  return false;
}

void dropOtherProgramsNoise() {
  previous = qInstallMessageHandler(filter);
}

}  // namespace tempulix
