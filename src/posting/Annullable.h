#pragma once

namespace zelvo {

// A revision screen that can also annul the registration it was opened for, as its
// revision would remove it (running totals, lines, detail rows and whatever else the
// registration wrote), in one transaction and only if the registration is still what the
// screen loaded.
class Annullable {
  public:
    virtual ~Annullable() = default;
    // True when the registration was removed.
    virtual bool annul() = 0;
};

}  // namespace zelvo
