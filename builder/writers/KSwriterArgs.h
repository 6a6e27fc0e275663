// The arguments of a builder variable ("index,VIindex, &gt; "), handed out
// one at a time from the front: each runs up to the next comma outside
// double quotes, and the quotes stay in it.
#pragma once

#include <string>

namespace ks {

class TKSargumentList {
public:
    explicit TKSargumentList(std::string text);

    // True while an argument is left; "a," holds two ("a" and ""), "" none.
    bool HasNext() const { return hasNext_; }
    // The next argument, or "" when none is left.
    std::string Next();
    // Everything not yet taken, commas included.
    std::string Rest();

private:
    std::string rest_;
    bool hasNext_;
};

} // namespace ks
