#include "store/shared_index.h"

namespace quillomat::store {

void SharedIndex::SetItem(int n, const MacroRecord& record) {
  scopes[n - 1].Set(record.scope.Get());
  scope_names[n - 1].Set(record.scope_name.Get());
  actives[n - 1] = record.active;
  activations[n - 1].Set(record.activation.Get());
  top_most_onlys[n - 1] = record.top_most_only;
}

}  // namespace quillomat::store
