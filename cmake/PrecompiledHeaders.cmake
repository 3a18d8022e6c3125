function(vantrel_use_precompiled_headers target)
endfunction()
