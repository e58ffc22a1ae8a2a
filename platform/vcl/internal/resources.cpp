#include "internal/resources.h"

#include <QFile>

namespace vcl::internal {

std::optional<std::string> LoadResource(const std::string& name) {
  QFile file(":/" + QString::fromStdString(name));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace vcl::internal
