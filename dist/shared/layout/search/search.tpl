/* KESTRIN HTML verzamelindex - the search data of this combined index: the
   family trees, the surname prefixes and the shards of names (generated). */
#SEARCHDATA!
