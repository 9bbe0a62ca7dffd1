#pragma once

#include <QtGlobal>

namespace block_store {

// Progress of a read-out after group g of a range ending at endsave, in whole
// percent, rounded to the nearest (a tie to the even one). The group that ends
// the range is 100 whatever endsave is, so a range ending at group 0 completes too.
int progressPercent(qint32 g, qint32 endsave);

}  // namespace block_store
