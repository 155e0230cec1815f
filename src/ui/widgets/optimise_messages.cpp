#include "ui/widgets/optimise_messages.h"

#include "ui/widgets/look.h"

namespace tovimar::ui {

QString PageText(const OptimiseProblemFault& fault) {
  using Kind = OptimiseProblemFault::Kind;
  const QString name = FromUtf8(fault.name);
  switch (fault.kind) {
    case Kind::NoVariable:
      return QStringLiteral("Add a variable to search over (Add variable), then pick its quantity and bounds.");
    case Kind::UnknownVariable:
      return QStringLiteral("\"%1\" is not an input the search can vary: pick one from the Variable column's list.")
          .arg(name);
    case Kind::BadBounds:
      return QStringLiteral("The bounds of %1 must be numbers, Lower below Upper.").arg(name);
    case Kind::VariedTwice:
      return QStringLiteral("%1 is in two rows of the variables: remove one.").arg(name);
    case Kind::UnknownObjective:
      return QStringLiteral("Pick the objective from its list.");
    case Kind::ObjectiveNotVaried:
      return QStringLiteral("The objective %1 is a line setting: it can be the objective only when it is "
                            "also a variable.").arg(name);
    case Kind::UnknownLimit:
      return QStringLiteral("\"%1\" is not a quantity a limit can be set on: pick one from the Limit on "
                            "column's list.").arg(name);
    case Kind::BadLimitBound:
      return QStringLiteral("The bound of the limit on %1 must be a number.").arg(name);
  }
  return QStringLiteral("The search cannot start with these settings.");
}

QString WithoutOptionHint(std::string_view message) {
  return FromUtf8(message).remove(FromUtf8(ListNamesHint));
}

}  // namespace tovimar::ui
