#pragma once

// Every parameter class of the model by its class name, so that test cases
// written as data can name the object they read.

#include <memory>
#include <string_view>
#include <vector>

#include "framework/parameter_field_base.h"

namespace quorvane::testing {

// How an object is made: new, or copied or assigned from `from`, an object
// of the same name.
enum class Making { kNew, kCopy, kAssign };

// A new object with its constructor defaults, or null for an unknown name.
// A few classes whose creator passes values are listed with them, e.g.
// "QVIP_RangeStruct(0,360)". A name ending in
// ".ReadLegacyJson" reads through that function instead of ReadFromJson.
std::unique_ptr<QV_ParameterFieldBase> MakeModelObject(std::string_view className,
                                                       Making how = Making::kNew,
                                                       const QV_ParameterFieldBase* from = nullptr);

// Every name MakeModelObject knows, in the registry's order.
std::vector<std::string_view> ModelClassNames();

}  // namespace quorvane::testing
