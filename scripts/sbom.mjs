// Writes the CycloneDX 1.5 bill of materials of one download: the project,
// the download's own hash, and each component that release_components.py
// found inside it (tab-separated lines on stdin).
//   node sbom.mjs DOWNLOAD VERSION < components.tsv > DOWNLOAD.cdx.json
// The same inputs give the same bytes: the time is SOURCE_DATE_EPOCH's and
// the serial number is made from the contents.
import { createHash } from 'node:crypto';
import { readFileSync } from 'node:fs';
import { basename } from 'node:path';

const [download, version] = process.argv.slice(2);
const epoch = Number(process.env.SOURCE_DATE_EPOCH);
if (!download || !version || !Number.isInteger(epoch)) {
  console.error('sbom: usage: SOURCE_DATE_EPOCH=T node sbom.mjs DOWNLOAD VERSION < components');
  process.exit(2);
}
const sha256 = createHash('sha256').update(readFileSync(download)).digest('hex');
const lines = readFileSync(0, 'utf8').split('\n').filter((line) => line.trim());
const components = lines.map((line) => {
  const [name, pkg, pkgVersion, source, licence, inside] = line.split('\t');
  return {
    type: inside === 'data' ? 'data' : 'library',
    'bom-ref': `${name}@${pkgVersion}`,
    name,
    version: pkgVersion,
    licenses: [{ expression: licence }],
    purl: `pkg:deb/debian/${pkg}@${encodeURIComponent(pkgVersion)}?distro=debian-12`,
    properties: [
      { name: 'quorvane:debian-source-package', value: source },
      { name: 'quorvane:inside-as', value: inside },
    ],
  };
});
const bom = {
  bomFormat: 'CycloneDX',
  specVersion: '1.5',
  version: 1,
  metadata: {
    timestamp: new Date(epoch * 1000).toISOString().replace('.000Z', 'Z'),
    tools: { components: [{ type: 'application', name: 'quorvane release', version }] },
    component: {
      type: 'application',
      'bom-ref': `quorvane@${version}`,
      name: 'quorvane',
      version,
      description: basename(download),
      hashes: [{ alg: 'SHA-256', content: sha256 }],
      licenses: [{ license: { id: 'MIT' } }],
    },
  },
  components,
  dependencies: [{ ref: `quorvane@${version}`, dependsOn: components.map((c) => c['bom-ref']) }],
};
const digest = createHash('sha256').update(JSON.stringify(bom)).digest('hex');
// A version 4 UUID's layout, filled from the digest.
const hex = `${digest.slice(0, 12)}4${digest.slice(13, 16)}8${digest.slice(17, 32)}`;
bom.serialNumber = `urn:uuid:${hex.slice(0, 8)}-${hex.slice(8, 12)}-${hex.slice(12, 16)}-` +
  `${hex.slice(16, 20)}-${hex.slice(20, 32)}`;
process.stdout.write(`${JSON.stringify(bom, null, 2)}\n`);
