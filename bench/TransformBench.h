#pragma once
// Stylesheet transformations of this engine and libxslt, registered with the
// benchmark library under transform/<implementation>/<stylesheet>/<document>.

namespace brindle::bench {

// Registers every transformation benchmark; call before the benchmarks run.
void RegisterTransformBenchmarks();

}  // namespace brindle::bench
