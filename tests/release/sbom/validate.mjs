// Validates CycloneDX 1.5 JSON bills of materials against the format's own
// JSON schema, with the CycloneDX project's library; prints each error.
//   node validate.mjs FILE.cdx.json...
import { readFileSync } from 'node:fs';
import { Spec, Validation } from '@cyclonedx/cyclonedx-library';

const validator = new Validation.JsonStrictValidator(Spec.Version.v1dot5);
let failed = 0;
for (const file of process.argv.slice(2)) {
  const errors = await validator.validate(readFileSync(file, 'utf8'));
  if (errors === null) {
    console.log(`valid CycloneDX 1.5: ${file}`);
  } else {
    failed += 1;
    console.error(`INVALID: ${file}\n${JSON.stringify(errors, null, 2)}`);
  }
}
process.exit(failed ? 1 : 0);
